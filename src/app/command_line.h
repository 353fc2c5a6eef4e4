#pragma once
// The program's own command-line options, read after Qt has taken its own (-platform, -style, ...):
// --help and --version. Further options are declared on parser() before parse().

#include <QCommandLineParser>
#include <iosfwd>
#include <optional>

namespace orv {

class CommandLine {
public:
    CommandLine();

    QCommandLineParser& parser() { return parser_; }

    // Answers --help and --version on out and gives 0, a wrong command line with a short note on err and
    // gives 1; nullopt when the program should go on.
    std::optional<int> parse(const QStringList& arguments, std::ostream& out, std::ostream& err);

    // A request that only prints (--help, --version) needs no display: run it on the offscreen platform
    // unless one was chosen. Call before the application object is made.
    static void prepare(int argc, char** argv);

private:
    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption version_;
};

}  // namespace orv
