#pragma once
// Program start: every window is created once, hidden, in a fixed order, the main window first, and wired
// to the others.

namespace orv {

class AppContext;
class TCalMainForm;

// Creates the main window, then the others, all working with context, which outlives them; the program
// folder is the context's program's. Returns null when the start-up was refused (a first run on a screen
// with too few colours); the program then ends.
TCalMainForm* createWindows(AppContext& context);

}  // namespace orv
