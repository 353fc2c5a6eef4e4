#include "program/program.h"

#include "common/file_util.h"

namespace orv {

Program::Program(std::string programFolder, Clock clock) : clock(clock) {
    store.setCalendars(&calendars);
    setProgramFolder(std::move(programFolder));
}

void Program::setProgramFolder(std::string folder) {
    programFolder_ = std::move(folder);
    artworkFolder_ = joinPath(programFolder_, "Artwork");
}

std::string Program::settingsFile() const { return joinPath(programFolder_, "Orvella.INI"); }
std::string Program::usersFile() const { return joinPath(programFolder_, "CalUsers.DAT"); }
std::string Program::eventsFile() const { return joinPath(programFolder_, "Events.dat"); }
std::string Program::secondEventsFile() const { return joinPath(programFolder_, "VEvents.dat"); }

}  // namespace orv
