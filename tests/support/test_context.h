#pragma once
// A run for window tests: the program of a folder on a fixed day, fake desktop seams, and the context the
// windows are given.

#include <string>

#include <QDBusConnection>

#include "common/app_context.h"
#include "common/desktop_notifier.h"
#include "program/program.h"
#include "support/fake_seams.h"

namespace orv::test {

struct TestContext {
    // printer, media and drives: replacements of the real ones, when the test has its own.
    TestContext(const std::string& folder, int today, PrinterSeam* printer = nullptr, MediaDevice* media = nullptr,
                DriveLayer* drives = nullptr)
        : program(folder, Clock(today)), context(program, AppSeams{&seams, printer, media, &notifier, drives}) {}

    Program program;
    FakeSeams seams;
    // Notices of the day go nowhere: a connection to no bus.
    DesktopNotifier notifier{QDBusConnection(QStringLiteral("no bus"))};
    AppContext context;
};

}  // namespace orv::test
