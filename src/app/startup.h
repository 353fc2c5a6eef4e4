#pragma once
// Program start: every window is created once, hidden, in a fixed order, the main window first.

namespace orv {

class TCalMainForm;

// Creates the main window, then the others. Returns null when the start-up was refused (a first run on a
// screen with too few colours); the program then ends.
TCalMainForm* createWindows();

}  // namespace orv
