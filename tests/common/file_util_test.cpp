#include <gtest/gtest.h>

#include <algorithm>

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
