#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <optional>

#include "common/file_util.h"
#include "common/io_error.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

TEST(FileUtil, WildcardsIgnoreCase) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.dbx", "Ann.DBX", true},
        {"*.dbx", "Ann.dbx.bak", false},
        {"*.dbx", "J. Smith.DBX", true},
        {"May001.*", "may001.AVI", true},
        {"May001.*", "May001", true},
        {"May001.*", "May0011.avi", false},
        {"Mayxxx.*", "MAYXXX.wav", true},
        {"*.*", "README", true},
        {"DiskInf.0", "diskinf.0", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"*", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.name);
        EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.match);
    }
}

TEST(FileUtil, ListsOnlyMatchingFiles) {
    test::TempDir dir;
    dir.write("a.DBX", "");
    dir.write("b.dbx", "");
    dir.write("c.txt", "");
    dir.write("sub.dbx/x", "");  // a folder that looks like a calendar
    auto names = listFiles(dir.path(), "*.dbx");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.DBX", "b.dbx"}));
    EXPECT_TRUE(listFiles(dir.file("missing"), "*.*").empty());
}

TEST(FileUtil, AtomicWriteReplacesWholeFile) {
    test::TempDir dir;
    dir.write("f", "old content that is long");
    writeFileAtomically(dir.file("f"), "new");
    EXPECT_EQ(dir.read("f"), "new");
    EXPECT_FALSE(dir.exists("f.tmp"));
    EXPECT_THROW(writeFileAtomically(dir.file("missing/f"), "x"), IoError);
    EXPECT_EQ(*readWholeFile(dir.file("f")), "new");
    EXPECT_FALSE(readWholeFile(dir.file("none")));
}

TEST(FileUtil, UnchangedFileIsLeftAlone) {
    struct Case {
        const char* name;
        std::optional<std::string> before;  // nullopt: no file
        std::string bytes;
        bool writes;
    };
    const Case cases[] = {
        {"same bytes", "a=1\r\nb=2\r\n", "a=1\r\nb=2\r\n", false},
        {"empty and empty", "", "", false},
        {"one byte differs", "a=1\r\n", "a=2\r\n", true},
        {"longer", "a=1", "a=1\r\n", true},
        {"shorter", "a=1\r\n", "a=1", true},
        {"no file yet", std::nullopt, "a=1", true},
        {"empty file, new bytes", "", "a", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        struct stat before {};
        if (c.before) {
            dir.write("f", *c.before);
            ASSERT_EQ(::stat(dir.file("f").c_str(), &before), 0);
        }
        EXPECT_EQ(writeFileIfChanged(dir.file("f"), c.bytes), c.writes);
        EXPECT_EQ(dir.read("f"), c.bytes);
        EXPECT_FALSE(dir.exists("f.tmp"));
        struct stat after {};
        ASSERT_EQ(::stat(dir.file("f").c_str(), &after), 0);
        // A rewrite renames a new file over the old one; an untouched file keeps its own.
        if (c.before) EXPECT_EQ(after.st_ino == before.st_ino, !c.writes);
    }
    // A folder in the file's place cannot be read: that is said, and it stays.
    test::TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("d").c_str(), 0700), 0);
    EXPECT_THROW(writeFileIfChanged(dir.file("d"), "x"), IoError);
    EXPECT_TRUE(folderExists(dir.file("d")));
}

TEST(FileUtil, CaseHelpers) {
    EXPECT_TRUE(equalsIgnoringAsciiCase("ARTWORK", "Artwork"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("Artwork", "Artwork/"));
    EXPECT_EQ(toUpperAscii("May001.jpg"), "MAY001.JPG");
    EXPECT_EQ(toLowerAscii("A.BMP"), "a.bmp");
    EXPECT_EQ(joinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(joinPath("/a", "b"), "/a/b");
}

}  // namespace
}  // namespace orv
