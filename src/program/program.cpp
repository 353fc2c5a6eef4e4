#include "program/program.h"

#include "common/file_util.h"

namespace orv {

Program::Program(std::string programFolder, Clock clock) : clock(clock) {
    store.setCalendars(&calendars);
    setProgramFolder(std::move(programFolder));
}

void Program::setProgramFolder(std::string folder) { programFolder_ = std::move(folder); }

std::string Program::artworkFolder() const { return findFolderIgnoringCase(programFolder_, "Artwork"); }
std::string Program::settingsFile() const { return findFileIgnoringCase(programFolder_, "Orvella.INI"); }
std::string Program::usersFile() const { return findFileIgnoringCase(programFolder_, "CalUsers.DAT"); }
std::string Program::eventsFile() const { return findFileIgnoringCase(programFolder_, "Events.dat"); }
std::string Program::secondEventsFile() const { return findFileIgnoringCase(programFolder_, "VEvents.dat"); }

}  // namespace orv
