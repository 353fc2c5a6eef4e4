#pragma once
// Program start: every window is created once, hidden, in a fixed order, the main window first.

#include <string>

namespace orv {

class AppContext;
class TCalMainForm;

// Creates the main window, then the others, all working with context, which outlives them. Returns null
// when the start-up was refused (a first run on a screen with too few colours); the program then ends.
// programFolder: the folder of the executable unless given.
TCalMainForm* createWindows(AppContext& context, const std::string& programFolder = {});

}  // namespace orv
