#include "app/app_state.h"

#include "common/file_util.h"

namespace orv {

std::string AppState::settingsFile() const { return joinPath(ProgramFolder, "Orvella.INI"); }
std::string AppState::usersFile() const { return joinPath(ProgramFolder, "CalUsers.DAT"); }
std::string AppState::eventsFile() const { return joinPath(ProgramFolder, "Events.dat"); }
std::string AppState::secondEventsFile() const { return joinPath(ProgramFolder, "VEvents.dat"); }

AppState& appState() {
    static AppState state;
    return state;
}

}  // namespace orv
