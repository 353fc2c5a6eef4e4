#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/cli_fixture.h"

namespace orv {
namespace {

class CliHelpTest : public test::CliFixture {};

TEST_F(CliHelpTest, HelpAndVersionAnswerOnStandardOutputAndTouchNoFile) {
    struct Case {
        std::vector<std::string> args;
        const char* pattern;
    };
    const Case cases[] = {
        {{"--help"},
         "^Usage: orvella-cli \\[OPTION\\]\\.\\.\\. COMMAND \\[ARGUMENTS\\]\n[^]*--version[^]*\n  calendars\n"},
        {{"-h", "show", "2026-01-01"}, "^Usage: orvella-cli "},
        {{"--calendar", "Nobody", "--help"}, "^Usage: orvella-cli "},
        {{"--version"}, "^orvella-cli \\(Orvella\\) " ORVELLA_VERSION "\n$"},
        {{"--version", "frobnicate"}, "^orvella-cli \\(Orvella\\) [0-9]+\\.[0-9]+[^\n]*\n$"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const test::CliResult r = run(c.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(std::regex_search(r.out, std::regex(c.pattern))) << r.out;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(CliHelpTest, UsageErrorsGoToStandardErrorWithTheShortUsage) {
    const test::CliResult r = run({"--bogus"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage: orvella-cli"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace orv
