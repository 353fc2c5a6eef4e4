#include "app/command_line.h"

#include <QCoreApplication>
#include <cstring>
#include <ostream>

namespace orv {

namespace {

constexpr const char* kTextOnly[] = {"-h", "--help", "--version"};

}  // namespace

CommandLine::CommandLine()
    : help_(QStringList{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")),
      version_(QStringLiteral("version"), QStringLiteral("Show the version and exit.")) {
    parser_.setApplicationDescription(
        QStringLiteral("Orvella, a calendar and personal planner with a picture for every month.\n"
                       "Qt's own options (-platform, -style, -display ...) are taken as well."));
    parser_.addOption(help_);
    parser_.addOption(version_);
}

std::optional<int> CommandLine::parse(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    const bool parsed = parser_.parse(arguments);
    if (parsed && parser_.isSet(help_)) {
        // Qt's first line names the program by the path it was started with.
        const QString text = parser_.helpText();
        out << "Usage: orvella [OPTION]..." << text.mid(text.indexOf(QLatin1Char('\n'))).toStdString();
        return 0;
    }
    if (parsed && parser_.isSet(version_)) {
        out << "orvella (Orvella) " ORVELLA_VERSION "\n";
        return 0;
    }
    QString problem = parsed ? QString() : parser_.errorText();
    if (parsed && !parser_.positionalArguments().isEmpty())
        problem = QStringLiteral("unexpected argument '%1'").arg(parser_.positionalArguments().first());
    if (problem.isEmpty()) return std::nullopt;
    err << "orvella: " << problem.toStdString() << "\nTry 'orvella --help' for more information.\n";
    return 1;
}

void CommandLine::prepare(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return;
        for (const char* option : kTextOnly)
            if (std::strcmp(argv[i], option) == 0) {
                qputenv("QT_QPA_PLATFORM", "offscreen");
                return;
            }
    }
}

}  // namespace orv
