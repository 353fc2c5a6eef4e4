#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "common/io_error.h"
#include "store/calendar_list.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

using Names = std::vector<std::string>;

std::string repeat(std::string_view s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct ParseCase {
    const char* label;
    std::string bytes;
    Names names;
};

TEST(CalendarListFile, ParsesEveryLineEndShape) {
    const ParseCase cases[] = {
        {"empty file", "", {}},
        {"last line without end", "Anna", {"Anna"}},
        {"CR LF", "Anna\r\nBen\r\n", {"Anna", "Ben"}},
        {"lone CR", "Anna\rBen\r", {"Anna", "Ben"}},
        {"lone LF", "Anna\nBen\n", {"Anna", "Ben"}},
        {"mixed, last unended", "Anna\nBen\rCid\r\nDot", {"Anna", "Ben", "Cid", "Dot"}},
        {"empty line between", "Anna\r\n\r\nBen", {"Anna", "", "Ben"}},
        {"LF then CR is two ends", "Anna\n\rBen", {"Anna", "", "Ben"}},
        {"CR CR LF is two ends", "Anna\r\r\nBen", {"Anna", "", "Ben"}},
        {"only a line end", "\r\n", {""}},
        {"nothing trimmed", " Anna \r\n\tBen\r\n", {" Anna ", "\tBen"}},
        {"NUL ends the text", std::string("Anna\r\nB\0en\r\nCid", 16), {"Anna", "B"}},
        {"NUL at the start", std::string("\0Anna", 5), {}},
        {"Windows-1252 read as text", "\xC9ric\r\nZo\xEB\r\n", {"Éric", "Zoë"}},
        {"UTF-8 read as text", "Zoë Żak\r\n", {"Zoë Żak"}},
    };
    for (const auto& c : cases) EXPECT_EQ(CalendarList::parseUsersFile(c.bytes), c.names) << c.label;
}

TEST(CalendarListFile, EveryLineEndsWithCrLf) {
    EXPECT_EQ(CalendarList::formatUsersFile({}), "");
    EXPECT_EQ(CalendarList::formatUsersFile({""}), "\r\n");
    EXPECT_EQ(CalendarList::formatUsersFile({"Anna", "", " Ben "}), "Anna\r\n\r\n Ben \r\n");

    const Names names{"Anna", "", "J. Smith", "Éric ", "Zoë Żak", "Ã©"};
    EXPECT_EQ(CalendarList::parseUsersFile(CalendarList::formatUsersFile(names)), names);
    // Windows-1252 where it holds the name, else UTF-8.
    EXPECT_EQ(CalendarList::formatUsersFile({"Zoë", "Zoë Żak"}), "Zo\xEB\r\nZo\xC3\xAB \xC5\xBB" "ak\r\n");
}

TEST(CalendarListFile, ThreeNamesGiveThreeLinesInListOrder) {
    test::TempDir dir;
    CalendarList list;
    list.Names = {"Zed", "Anna", "Mia"};
    list.saveUsersFile(dir.file("CalUsers.DAT"));
    EXPECT_EQ(dir.read("CalUsers.DAT"), "Zed\r\nAnna\r\nMia\r\n");
    EXPECT_FALSE(dir.exists("CalUsers.DAT.tmp"));

    // Rewritten whole: a shorter list leaves nothing of the longer one.
    list.Names = {"Anna"};
    list.saveUsersFile(dir.file("CalUsers.DAT"));
    EXPECT_EQ(dir.read("CalUsers.DAT"), "Anna\r\n");
}

TEST(CalendarListFile, SaveIntoMissingFolderThrows) {
    test::TempDir dir;
    CalendarList list;
    list.Names = {"Anna"};
    EXPECT_THROW(list.saveUsersFile(dir.file("no such folder/CalUsers.DAT")), IoError);
}

class CalendarListLoad : public ::testing::Test {
protected:
    CalendarListLoad() {
        std::filesystem::create_directories(dir.file("Data"));
        list.DataFolder = dir.file("Data");
    }
    std::string usersFile() const { return dir.file("CalUsers.DAT"); }
    void calendarFile(const std::string& utf8Name) const { dir.write("Data/" + utf8Name, "x"); }

    test::TempDir dir;
    CalendarList list;
};

TEST_F(CalendarListLoad, FirstStartWithoutListFile) {
    EXPECT_TRUE(list.loadAtStartup(usersFile(), 4));
    EXPECT_EQ(list.Names, Names{"User1"});
    EXPECT_EQ(list.CurrentCalendarIndex, 0);

    // Calendars made before the list (by the command-line tool, a restore) are kept, and no name is asked.
    calendarFile("Found.DBX");
    CalendarList next;
    next.DataFolder = list.DataFolder;
    EXPECT_FALSE(next.loadAtStartup(usersFile(), 4));
    EXPECT_EQ(next.Names, Names{"Found"});
    EXPECT_EQ(next.CurrentCalendarIndex, 0);
}

TEST_F(CalendarListLoad, EmptyListFileIsAFirstStart) {
    for (const std::string& bytes : {std::string(), std::string("\0Anna\r\n", 7)}) {
        dir.write("CalUsers.DAT", bytes);
        EXPECT_TRUE(list.loadAtStartup(usersFile(), 0));
        EXPECT_EQ(list.Names, Names{"User1"});
    }
}

TEST_F(CalendarListLoad, EmptyListFileKeepsCalendarsFoundInTheFolder) {
    dir.write("CalUsers.DAT", "");
    calendarFile("Found.DBX");
    EXPECT_FALSE(list.loadAtStartup(usersFile(), 2));
    EXPECT_EQ(list.Names, Names{"Found"});
    EXPECT_EQ(list.CurrentCalendarIndex, 0);
}

TEST_F(CalendarListLoad, KeepsListOrderAndAppendsUnlistedFiles) {
    dir.write("CalUsers.DAT", "Zed\r\nAnna\r\n");
    calendarFile("Anna.DBX");
    calendarFile("Bob.dbx");
    calendarFile("Cy.Dbx");
    calendarFile("notes.txt");
    calendarFile("Bob.DBX.bak");
    std::filesystem::create_directories(dir.file("Data/Folder.DBX"));

    EXPECT_FALSE(list.loadAtStartup(usersFile(), 1));
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ((Names{list.Names[0], list.Names[1]}), (Names{"Zed", "Anna"}));
    Names appended{list.Names[2], list.Names[3]};
    std::sort(appended.begin(), appended.end());
    EXPECT_EQ(appended, (Names{"Bob", "Cy"}));
    EXPECT_EQ(list.CurrentCalendarIndex, 1);
}

TEST_F(CalendarListLoad, FileDifferingOnlyInCaseAddsNothing) {
    dir.write("CalUsers.DAT", "Anna Smith\r\n\xC9RIC\r\n\x8A\x8C\r\n");  // Windows-1252
    calendarFile("ANNA smith.dbx");
    calendarFile("\xC3\xA9ric.DBX");       // UTF-8 "éric"
    calendarFile("\xC5\xA1\xC5\x93.DBX");  // UTF-8 "šœ"
    calendarFile("Anna Smith .DBX");       // a trailing blank is another calendar
    EXPECT_FALSE(list.loadAtStartup(usersFile(), 0));
    EXPECT_EQ(list.Names, (Names{"Anna Smith", "ÉRIC", "ŠŒ", "Anna Smith "}));
}

TEST_F(CalendarListLoad, NameWithFullStopKeepsItsWholeName) {
    dir.write("CalUsers.DAT", "Anna\r\n");
    calendarFile("J. R. Smith.DBX");
    EXPECT_FALSE(list.loadAtStartup(usersFile(), 0));
    EXPECT_EQ(list.Names, (Names{"Anna", "J. R. Smith"}));
    EXPECT_EQ(list.CalendarFileName(1), dir.file("Data/J. R. Smith.DBX"));
}

TEST_F(CalendarListLoad, FilesNoCalendarCouldCarryAreLeftOut) {
    dir.write("CalUsers.DAT", "Anna\r\n");
    calendarFile(".DBX");                      // empty stem
    calendarFile("a:b.DBX");                   // Windows refuses ':'
    calendarFile("..DBX");                     // stem "."
    calendarFile("a\x01.DBX");                 // a control character
    calendarFile(std::string("bad\xFF.DBX"));  // not UTF-8
    calendarFile("Ok \xC3\xA9.DBX");
    EXPECT_FALSE(list.loadAtStartup(usersFile(), 0));
    EXPECT_EQ(list.Names, (Names{"Anna", "Ok é"}));
}

TEST_F(CalendarListLoad, CurrentIndexOutsideTheListBecomesZero) {
    dir.write("CalUsers.DAT", "A\r\nB\r\nC\r\n");
    const std::pair<int, int> cases[] = {{5, 0}, {3, 0}, {-1, 0}, {2, 2}, {0, 0}};
    for (const auto& [setting, expected] : cases) {
        EXPECT_FALSE(list.loadAtStartup(usersFile(), setting));
        EXPECT_EQ(list.CurrentCalendarIndex, expected) << "Current User " << setting;
    }
    // A calendar found in the folder counts as part of the list.
    calendarFile("D.DBX");
    EXPECT_FALSE(list.loadAtStartup(usersFile(), 3));
    EXPECT_EQ(list.CurrentCalendarIndex, 3);
}

TEST_F(CalendarListLoad, UnsafeNamesFromTheFileNeverReachOutsideTheFolder) {
    dir.write("victim.DBX", "keep");
    dir.write("CalUsers.DAT", "../victim\r\n..\\victim\r\n/tmp/x\r\n.\r\n..\r\nA:B\r\nTab\there\r\nSafe\r\n");
    EXPECT_FALSE(list.loadAtStartup(usersFile(), 0));
    ASSERT_EQ(list.size(), 8);  // kept, so that nothing is lost when the list is written back
    for (int i = 0; i < 7; ++i) {
        EXPECT_THROW(list.CalendarFileName(i), IoError) << list.Names[static_cast<size_t>(i)];
        list.deleteCalendarFile(list.Names[static_cast<size_t>(i)]);
        EXPECT_TRUE(list.renameCalendarFile(list.Names[static_cast<size_t>(i)], "Moved"));
    }
    EXPECT_EQ(list.CalendarFileName(7), dir.file("Data/Safe.DBX"));
    EXPECT_EQ(dir.read("victim.DBX"), "keep");
    EXPECT_FALSE(dir.exists("Data/Moved.DBX"));

    try {
        list.CalendarFileName(0);
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("../victim"), std::string::npos) << e.what();
    }
}

TEST(CalendarList, FileNameIsTheUtf8NameInTheDataFolder) {
    CalendarList list;
    list.DataFolder = "/data";
    list.Names = {"Éric €", "J. Smith", "Zoë Żak 日本"};
    EXPECT_EQ(list.CalendarFileName(0), "/data/Éric €.DBX");
    EXPECT_EQ(list.CalendarFileName(2), "/data/Zoë Żak 日本.DBX");
    EXPECT_EQ(list.CalendarFileName(1), "/data/J. Smith.DBX");
    EXPECT_THROW(list.CalendarFileName(3), IoError);
    EXPECT_THROW(list.CalendarFileName(-1), IoError);
}

TEST(CalendarList, CurrentNameAndIndexOf) {
    CalendarList list;
    list.Names = {"Anna", "Ben", "anna"};
    list.CurrentCalendarIndex = 1;
    EXPECT_EQ(list.currentName(), "Ben");
    list.CurrentCalendarIndex = 3;
    EXPECT_EQ(list.currentName(), "");
    EXPECT_EQ(list.indexOf("ANNA"), 0);
    EXPECT_EQ(list.indexOf("Ben "), -1);
}

TEST(CalendarList, SameNameIgnoresCaseInEveryScript) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"User1", "uSER1", true},
        {"Éric", "éRIC", true},
        {"ÀÞ", "àþ", true},
        {"ŠŒŽŸ", "šœžÿ", true},
        {"Zoë Żak", "ZOË ŻAK", true},
        {"ΣΥΝ", "συν", true},
        {"Иван", "ИВАН", true},
        {"×", "÷", false},   // × is not the capital of ÷
        {"ß", "ss", false},  // one character for one
        {"Anna ", "Anna", false},
        {" Anna", "Anna", false},
        {"Anna", "Anne", false},
        {"", "", true},
        {"[", "{", false},  // 0x5B and 0x7B are not letters
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sameCalendarName(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(sameCalendarName(c.b, c.a), c.same) << c.b << " / " << c.a;
    }
}

TEST(CalendarList, NameProblems) {
    struct Case {
        std::string name;
        bool refused;
    };
    const Case cases[] = {
        {"John Smith", false},
        {"J. Smith", false},
        {"Sam Brown - Office", false},
        {"John Smith [2]", false},
        {" trailing blank ", false},
        {"...", false},
        {".hidden", false},
        {"Éric €", false},
        {"Zoë Żak 日本 😀", false},
        {"a\u0085b", true},  // a C1 control
        {"bad\xFF", true},   // not UTF-8
        {"", false},
        {"A/B", true},
        {"A\\B", true},
        {".", true},
        {"..", true},
        {"../up", true},
        {"a:b", true},
        {"a*b", true},
        {"a?b", true},
        {"a\"b", true},
        {"a<b", true},
        {"a>b", true},
        {"a|b", true},
        {"a\tb", true},
        {"a\x01", true},
        {"a\x1F", true},
        {"a\x7F", true},
        {std::string(251, 'x'), false},  // 251 + ".DBX" fills a file name
        {std::string(252, 'x'), true},
        {repeat("É", 125), false},  // two bytes each in UTF-8
        {repeat("É", 126), true},
    };
    for (const auto& c : cases) {
        const auto problem = calendarNameProblem(c.name);
        EXPECT_EQ(problem.has_value(), c.refused) << "\"" << c.name << "\"";
        if (problem) {
            EXPECT_FALSE(problem->empty());
        }
    }
}

TEST(CalendarList, ActivateKeepsTheIndexInsideTheList) {
    const std::pair<int, int> cases[] = {{-1, 0}, {0, 0}, {2, 2}, {3, 0}, {99, 0}};
    for (const auto& [selection, expected] : cases) {
        CalendarList list;
        list.Names = {"Old"};
        list.CurrentCalendarIndex = 0;
        list.activate({"A", "B", "C"}, selection);
        EXPECT_EQ(list.Names, (Names{"A", "B", "C"}));
        EXPECT_EQ(list.CurrentCalendarIndex, expected) << "selection " << selection;
        EXPECT_EQ(list.currentName(), list.Names[static_cast<size_t>(expected)]);
    }
}

TEST(CalendarList, RenameEntryMatchesTheExactSpelling) {
    CalendarList list;
    list.Names = {"anna", "Anna", "Ben"};
    EXPECT_TRUE(list.renameEntry("Anna", "Hanna"));
    EXPECT_EQ(list.Names, (Names{"anna", "Hanna", "Ben"}));
    EXPECT_FALSE(list.renameEntry("Cid", "Dot"));
}

class CalendarFiles : public CalendarListLoad {};

TEST_F(CalendarFiles, RenameMovesTheFile) {
    calendarFile("Anna.DBX");
    dir.write("Data/Anna.DBX", "reminders");
    std::string why;
    EXPECT_TRUE(list.renameCalendarFile("Anna", "Anna Żak", &why)) << why;
    EXPECT_FALSE(dir.exists("Data/Anna.DBX"));
    EXPECT_EQ(dir.read("Data/Anna Żak.DBX"), "reminders");
}

TEST_F(CalendarFiles, RenameTakesTheArchiveOfPurgedDaysAlong) {
    struct Case {
        bool archiveOfNewName;  // one already there
    };
    for (const Case c : {Case{false}, Case{true}}) {
        SCOPED_TRACE(c.archiveOfNewName);
        dir.write("Data/Anna.DBX", "reminders");
        dir.write("Data/Anna.purged", "anna's old days");
        if (c.archiveOfNewName) dir.write("Data/Ben.purged", "ben's old days");
        ASSERT_TRUE(list.renameCalendarFile("Anna", "Ben"));
        EXPECT_EQ(dir.read("Data/Ben.DBX"), "reminders");
        EXPECT_EQ(dir.read("Data/Ben.purged"), c.archiveOfNewName ? "ben's old days" : "anna's old days");
        EXPECT_EQ(dir.exists("Data/Anna.purged"), c.archiveOfNewName);
        std::filesystem::remove_all(dir.file("Data"));
        std::filesystem::create_directories(dir.file("Data"));
    }
}
TEST_F(CalendarFiles, RenameWithoutAFileOnlyChangesTheName) {
    EXPECT_TRUE(list.renameCalendarFile("Anna", "Ben"));
    EXPECT_FALSE(dir.exists("Data/Ben.DBX"));
}

TEST_F(CalendarFiles, RenameNeverReplacesAnotherFile) {
    const std::pair<const char*, const char*> targets[] = {
        {"Ben.DBX", "Ben"}, {"ben.dbx", "BEN"}, {"\xC3\xA9.DBX", "É"}, {"ż.DBX", "Ż"}};
    for (const auto& [file, newName] : targets) {
        dir.write("Data/Anna.DBX", "anna's");
        dir.write(std::string("Data/") + file, "other");
        std::string why;
        EXPECT_FALSE(list.renameCalendarFile("Anna", newName, &why)) << file;
        EXPECT_NE(why.find("already exists"), std::string::npos) << why;
        EXPECT_EQ(dir.read("Data/Anna.DBX"), "anna's");
        EXPECT_EQ(dir.read(std::string("Data/") + file), "other");
        std::filesystem::remove(dir.file(std::string("Data/") + file));
    }
}

TEST_F(CalendarFiles, RenameToAnUnsafeNameIsRefused) {
    dir.write("Data/Anna.DBX", "anna's");
    std::string why;
    EXPECT_FALSE(list.renameCalendarFile("Anna", "../Anna", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(dir.read("Data/Anna.DBX"), "anna's");
    EXPECT_FALSE(dir.exists("Anna.DBX"));
}

TEST_F(CalendarFiles, FailedRenameKeepsTheFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    dir.write("Data/Anna.DBX", "anna's");
    namespace fs = std::filesystem;
    fs::permissions(dir.file("Data"), fs::perms::owner_read | fs::perms::owner_exec);
    std::string why;
    const bool renamed = list.renameCalendarFile("Anna", "Ben", &why);
    fs::permissions(dir.file("Data"), fs::perms::owner_all);
    EXPECT_FALSE(renamed);
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(dir.read("Data/Anna.DBX"), "anna's");
    EXPECT_FALSE(dir.exists("Data/Ben.DBX"));
}

TEST_F(CalendarFiles, DeleteThatFailsThrows) {
    std::filesystem::create_directories(dir.file("Data/Anna.DBX"));  // not a file: cannot be unlinked
    EXPECT_THROW(list.deleteCalendarFile("Anna"), IoError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Data/Anna.DBX")));
}

TEST_F(CalendarFiles, DeleteRemovesTheFileAndToleratesAMissingOne) {
    dir.write("Data/Anna.DBX", "x");
    dir.write("Data/Ben.DBX", "x");
    list.deleteCalendarFile("Anna");
    EXPECT_FALSE(dir.exists("Data/Anna.DBX"));
    EXPECT_TRUE(dir.exists("Data/Ben.DBX"));
    EXPECT_NO_THROW(list.deleteCalendarFile("Anna"));
}

}  // namespace
}  // namespace orv
