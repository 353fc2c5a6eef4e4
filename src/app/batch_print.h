#pragma once
// The printouts the program makes for scripts: the windows are built as for the screen but never shown,
// and print through the same code into a PDF file.

#include <iosfwd>

namespace orv {

struct ProgramOptions;

// Prints what options ask for (--print-week or --print-calendar) into their PDF file. Returns the exit
// status: 0, or 2 after one line on err naming the file or value that failed. Needs a QApplication.
int runBatchPrint(const ProgramOptions& options, std::ostream& err);

}  // namespace orv
