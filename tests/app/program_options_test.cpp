#include "app/program_options.h"

#include <gtest/gtest.h>

#include "cli/cli_context.h"

namespace orv {
namespace {

using Print = ProgramOptions::Print;

ProgramOptions options(Print print, const char* pdf, bool mono = false, bool white = false) {
    ProgramOptions o;
    o.print = print;
    o.what = "2026";
    o.pdfGiven = pdf != nullptr;
    o.pdf = pdf ? pdf : "";
    o.mono = mono;
    o.white = white;
    return o;
}

TEST(ProgramOptions, PrintOptionsGoTogetherOrNotAtAll) {
    struct Case {
        ProgramOptions o;
        bool valid;
    };
    ProgramOptions both = options(Print::Week, "x.pdf");
    both.bothPrints = true;
    const Case cases[] = {
        {options(Print::None, nullptr), true},  // the windows
        {options(Print::Week, "w.pdf"), true},
        {options(Print::Calendar, "c.pdf", true, true), true},
        {options(Print::Week, nullptr), false},        // no file
        {options(Print::Calendar, ""), false},         // an empty file name
        {options(Print::None, "x.pdf"), false},        // nothing to print
        {options(Print::Week, "w.pdf", true), false},  // colour choices are the page's
        {options(Print::None, nullptr, false, true), false},
        {both, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.o.print) << " pdf '" << c.o.pdf << "' mono " << c.o.mono);
        if (c.valid) EXPECT_NO_THROW(checkProgramOptions(c.o));
        else EXPECT_THROW(checkProgramOptions(c.o), cli::UsageError);
    }
}

TEST(ProgramOptions, CalendarRequestIsAMonthOrAYear) {
    struct Case {
        std::string text;
        std::optional<CalendarRequest> request;
    };
    const Case cases[] = {
        {"2026-09", CalendarRequest{2026, 9}},
        {"2026", CalendarRequest{2026, 0}},
        {"0001-01", CalendarRequest{1, 1}},
        {"9999-12", CalendarRequest{9999, 12}},
        {"2026-13", std::nullopt},
        {"2026-00", std::nullopt},
        {"0000", std::nullopt},
        {"2026-9", std::nullopt},
        {"26-09", std::nullopt},
        {"2026-09-01", std::nullopt},
        {"+202", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseCalendarRequest(c.text), c.request) << c.text;
}

}  // namespace
}  // namespace orv
