#include <gtest/gtest.h>

#include "support/cli_fixture.h"

namespace orv {
namespace {

class SearchCli : public test::CliFixture {
protected:
    void SetUp() override {
        dir.write("CalUsers.DAT", "Ann\r\nBob\r\n");
        for (const auto& [cal, date, text] : std::vector<std::tuple<std::string, std::string, std::string>>{
                 {"Ann", "2026-03-02", "Dentist 10am\\nBring the card"},
                 {"Ann", "2025-12-01", "call the DENTIST"},
                 {"Ann", "2026-04-01", "Gym"},
                 {"Bob", "2026-03-02", "<Dentist>"},
                 {"Bob", "2026-01-15",
                  "\xC3\x89"
                  "cole: dentist"},  // École
             })
            EXPECT_EQ(run({"--calendar", cal, "set", date, text}).status, 0);
    }
};

TEST_F(SearchCli, MatchesIgnoringCaseInDateOrder) {
    struct Case {
        std::vector<std::string> args;
        const char* out;
    };
    const Case cases[] = {
        {{"search", "dentist"}, "2025-12-01\n  call the DENTIST\n2026-03-02\n  Dentist 10am\n"},
        {{"search", "dentist", "--from", "2026-01-01"}, "2026-03-02\n  Dentist 10am\n"},
        {{"search", "dentist", "--to", "2025-12-01"}, "2025-12-01\n  call the DENTIST\n"},
        {{"search", "THE"}, "2025-12-01\n  call the DENTIST\n2026-03-02\n  Bring the card\n"},
        {{"search", "nothing"}, ""},
        {{"--calendar", "bob", "search",
          "\xC3\xA9"
          "cole"},
         "2026-01-15\n  \xC3\x89"
         "cole: dentist\n"},
        {{"search", "dentist", "--all"},
         "2025-12-01 Ann\n  call the DENTIST\n2026-01-15 Bob\n  \xC3\x89"
         "cole: dentist\n"
         "2026-03-02 Ann\n  Dentist 10am\n2026-03-02 Bob\n  <Dentist>\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[c.args.size() > 2 && c.args[0] == "--calendar" ? 3 : 1]);
        const test::CliResult r = run(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

TEST_F(SearchCli, RefusedSearches) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{"search"}, 1},
        {{"search", ""}, 1},
        {{"search", "a\\nb"}, 1},
        {{"search", "a", "b"}, 1},
        {{"--calendar", "Ann", "search", "a", "--all"}, 1},
        {{"search", "a", "--from", "2026-05-01", "--to", "2026-04-01"}, 1},
        {{"search", "snow \xE2\x98"}, 2},  // not UTF-8
    };
    for (const auto& c : cases) EXPECT_EQ(run(c.args).status, c.status);
}

}  // namespace
}  // namespace orv
