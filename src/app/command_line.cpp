#include "app/command_line.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "cli/cli_context.h"

namespace orv {

namespace {

constexpr const char* kTextOnly[] = {"-h", "--help", "--version", "--print-week", "--print-calendar"};

bool namesOption(const char* argument, const char* option) {
    const size_t n = std::strlen(option);
    return std::strncmp(argument, option, n) == 0 && (argument[n] == '\0' || (option[1] == '-' && argument[n] == '='));
}

void keepSeriousMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

CommandLine::CommandLine()
    : help_(QStringList{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")),
      version_(QStringLiteral("version"), QStringLiteral("Show the version and exit.")),
      folder_(QStringLiteral("folder"),
              QStringLiteral("The program folder (default: the executable's, or ~/.local/share/orvella for an "
                             "installed copy)."),
              QStringLiteral("DIR")),
      printWeek_(QStringLiteral("print-week"),
                 QStringLiteral("Print the week page that opens on DATE (YYYY-MM-DD or today) into the file of "
                                "--pdf, without showing a window."),
                 QStringLiteral("DATE")),
      printCalendar_(QStringLiteral("print-calendar"),
                     QStringLiteral("Print the picture calendar page of a month (YYYY-MM), or the twelve pages "
                                    "of a year (YYYY), into the file of --pdf, without showing a window."),
                     QStringLiteral("YYYY-MM|YYYY")),
      pdf_(QStringLiteral("pdf"), QStringLiteral("The PDF file a printout goes into."), QStringLiteral("FILE")),
      mono_(QStringLiteral("mono"), QStringLiteral("The picture calendar's picture in grey (JPEG pictures).")),
      white_(QStringLiteral("white"), QStringLiteral("The picture calendar on a white background.")) {
    parser_.setApplicationDescription(
        QStringLiteral("Orvella, a calendar and personal planner with a picture for every month.\n"
                       "Qt's own options (-platform, -style, -display ...) are taken as well."));
    parser_.addOption(help_);
    parser_.addOption(version_);
    for (const QCommandLineOption* o : {&folder_, &printWeek_, &printCalendar_, &pdf_, &mono_, &white_})
        parser_.addOption(*o);
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
    if (problem.isEmpty()) {
        options_ = ProgramOptions();
        options_.folder = parser_.value(folder_).toStdString();
        options_.bothPrints = parser_.isSet(printWeek_) && parser_.isSet(printCalendar_);
        if (parser_.isSet(printWeek_)) {
            options_.print = ProgramOptions::Print::Week;
            options_.what = parser_.value(printWeek_).toStdString();
        } else if (parser_.isSet(printCalendar_)) {
            options_.print = ProgramOptions::Print::Calendar;
            options_.what = parser_.value(printCalendar_).toStdString();
        }
        options_.pdfGiven = parser_.isSet(pdf_);
        options_.pdf = parser_.value(pdf_).toStdString();
        options_.mono = parser_.isSet(mono_);
        options_.white = parser_.isSet(white_);
        try {
            checkProgramOptions(options_);
            return std::nullopt;
        } catch (const cli::UsageError& e) {
            problem = QString::fromStdString(e.what());
        }
    }
    err << "orvella: " << problem.toStdString() << "\nTry 'orvella --help' for more information.\n";
    return 1;
}

void CommandLine::prepare(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return;
        for (const char* option : kTextOnly)
            if (namesOption(argv[i], option)) {
                if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
                // A printout for a script says on standard error only what went wrong with it.
                if (std::strncmp(option, "--print", 7) == 0) qInstallMessageHandler(keepSeriousMessages);
                return;
            }
    }
}

}  // namespace orv
