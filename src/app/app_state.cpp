#include "app/app_state.h"

namespace orv {

Program& appState() {
    static Program program;
    return program;
}

void resetAppState() {
    Program& p = appState();
    p.setProgramFolder({});
    p.settings = Settings{};
    p.calendars = CalendarList{};
    p.store.FreeStore();
}

}  // namespace orv
