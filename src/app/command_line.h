#pragma once
// The program's own command-line options, read after Qt has taken its own (-platform, -style, ...):
// --help, --version, --folder and the printouts made without a window. Further options are declared on
// parser() before parse().

#include <QCommandLineParser>
#include <iosfwd>
#include <optional>

#include "app/program_options.h"

namespace orv {

class CommandLine {
public:
    CommandLine();

    QCommandLineParser& parser() { return parser_; }

    // Answers --help and --version on out and gives 0, a wrong command line with a short note on err and
    // gives 1; nullopt when the program should go on.
    std::optional<int> parse(const QStringList& arguments, std::ostream& out, std::ostream& err);
    // The folder and printout asked for; set by parse().
    const ProgramOptions& options() const { return options_; }

    // A request that only prints (--help, --version, a printout into a PDF file) needs no display: run it
    // on the offscreen platform unless one was chosen. Call before the application object is made.
    static void prepare(int argc, char** argv);

private:
    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption version_;
    QCommandLineOption folder_;
    QCommandLineOption printWeek_;
    QCommandLineOption printCalendar_;
    QCommandLineOption pdf_;
    QCommandLineOption mono_;
    QCommandLineOption white_;
    ProgramOptions options_;
};

}  // namespace orv
