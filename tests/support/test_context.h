#pragma once
// A run for window tests: the program of a folder on a fixed day, fake desktop seams, and the context the
// windows are given.

#include <string>

#include "common/app_context.h"
#include "program/program.h"
#include "support/fake_seams.h"

namespace orv::test {

struct TestContext {
    // printer and media: replacements of the real ones, when the test has its own.
    TestContext(const std::string& folder, int today, PrinterSeam* printer = nullptr, MediaDevice* media = nullptr)
        : program(folder, Clock(today)), context(program, AppSeams{&seams, printer, media}) {}

    Program program;
    FakeSeams seams;
    AppContext context;
};

}  // namespace orv::test
