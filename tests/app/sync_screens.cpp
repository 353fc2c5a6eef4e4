// Shows the sync's windows one after the other on a real display and saves a picture of the screen at each
// step, for a look at them:
//   sync_screens PROGRAM_FOLDER OUT_FOLDER
// The Options window, the "Calendar Server" window over it, the progress of a first sync, the message
// naming merged days and the question before a mass deletion. Not a test: it checks nothing.

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/option_dlg.h"
#include "app/sync_dlg.h"
#include "app/sync_runner.h"
#include "common/app_context.h"
#include "common/day_number.h"
#include "common/ui_seams.h"
#include "program/program.h"

using namespace orv;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: sync_screens PROGRAM_FOLDER OUT_FOLDER\n");
        return 1;
    }
    const std::string folder = std::filesystem::absolute(argv[1]).string();
    const QString out = QString::fromLocal8Bit(argv[2]);
    Program program(folder);
    program.calendars.DataFolder = folder + "/Data";
    program.calendars.Names = {"Ann", "Work"};
    AppContext context(program);
    TOptionDlg options(context);
    SyncRunner runner(context);
    TSyncDlg server(context, runner);
    QObject::connect(&options, &TOptionDlg::syncWindowRequested, &server, [&] { context.ui().execModal(&server); });

    auto shot = [&](const char* name) {
        QGuiApplication::primaryScreen()->grabWindow(0).save(out + QLatin1Char('/') + QLatin1String(name) + ".png");
        std::printf("%s\n", name);
    };
    auto closeTop = [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    };
    SyncOutcome merged;
    merged.calendar = QStringLiteral("Ann");
    merged.ok = true;
    merged.report.sent = 3;
    merged.report.received = 2;
    merged.report.mergedDays = {dayNumber(2026, 3, 4), dayNumber(2026, 3, 9)};
    merged.report.restoredDays = {dayNumber(2026, 2, 27)};
    SyncOutcome guard;
    guard.calendar = QStringLiteral("Ann");
    guard.errorKind = sync::SyncError::Kind::Guard;
    guard.error = QStringLiteral("the collection came back empty while the last sync saw 412 events");

    const std::vector<std::function<void()>> steps = {
        [&] { shot("options"); },
        [&] { options.findChild<QPushButton*>(QStringLiteral("SyncBtn"))->click(); },
        [&] {
            server.findChild<QLineEdit*>(QStringLiteral("eUrl"))->setText(QStringLiteral("https://dav.example.org/"));
            server.findChild<QLineEdit*>(QStringLiteral("eUser"))->setText(QStringLiteral("ann"));
            server.findChild<QLineEdit*>(QStringLiteral("ePassword"))->setText(QStringLiteral("secret"));
            shot("server");
        },
        [&] { server.runProgressed({sync::SyncProgress::Step::Sending, 640, 2000}, true); },
        [&] { shot("progress"); },
        [&] { server.runFinished(merged); },
        [&] { shot("merged"); closeTop(); },
        [&] { server.runFinished(guard); },
        [&] { shot("guard"); closeTop(); },
        [&] { shot("server-after"); closeTop(); },
        [&] { closeTop(); },
    };
    for (size_t i = 0; i < steps.size(); ++i) QTimer::singleShot(800 * static_cast<int>(i + 1), &app, steps[i]);
    context.ui().execModal(&options);
    return 0;
}
