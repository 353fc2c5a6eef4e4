#include "app/month_media.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace orv {
namespace {

class MonthMediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"Artwork", "MOVIES", "SOUNDS"}) std::filesystem::create_directory(dir.file(f));
        dir.write("Artwork/May001.jpg", "x");
    }
    std::string picture() const { return dir.file("Artwork/May001.jpg"); }
    test::TempDir dir;
};

TEST_F(MonthMediaTest, NoMediaForTheMonth) {
    dir.write("SOUNDS/June001.wav", "x");
    EXPECT_FALSE(FindMonthMedia(picture()));
    EXPECT_FALSE(FindMonthMedia(""));
}

TEST_F(MonthMediaTest, ExactMovieComesFirstAndReadsItsLoopKey) {
    dir.write("MOVIES/May001.avi", "x");
    dir.write("SOUNDS/May001.wav", "x");
    dir.write("MOVIES/Movies.ini", "[Loop]\r\nMay001.avi=1\r\n");
    const auto m = FindMonthMedia(picture());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->file, dir.file("MOVIES/May001.avi"));
    EXPECT_TRUE(m->movie);
    EXPECT_TRUE(m->loop);
}

TEST_F(MonthMediaTest, GenericSoundWhenNothingIsNamedExactly) {
    dir.write("SOUNDS/Mayxxx.wav", "x");
    // A setting for a generic file is not read: it plays once.
    dir.write("SOUNDS/Sounds.ini", "[Loop]\r\nMayxxx.wav=1\r\n");
    const auto m = FindMonthMedia(picture());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->file, dir.file("SOUNDS/Mayxxx.wav"));
    EXPECT_FALSE(m->movie);
    EXPECT_FALSE(m->loop);
}

TEST_F(MonthMediaTest, LookupOrder) {
    struct Case {
        std::vector<const char*> files;
        const char* expected;
    };
    const Case cases[] = {
        {{"MOVIES/Mayxxx.avi", "SOUNDS/May001.wav"}, "SOUNDS/May001.wav"},  // exact sound before generic movie
        {{"MOVIES/Mayxxx.avi", "SOUNDS/Mayxxx.wav"}, "MOVIES/Mayxxx.avi"},  // generic movie before generic sound
        {{"SOUNDS/May001"}, "SOUNDS/May001"},                               // "May001.*" also takes no extension
        {{"SOUNDS/may001.WAV"}, "SOUNDS/may001.WAV"},                       // case is ignored
        {{"SOUNDS/MAYXXX.mid"}, "SOUNDS/MAYXXX.mid"},
        {{"SOUNDS/May002.wav"}, nullptr},  // another month's sound
    };
    for (const Case& c : cases) {
        test::TempDir d;
        for (const char* f : {"Artwork", "MOVIES", "SOUNDS"}) std::filesystem::create_directory(d.file(f));
        d.write("Artwork/May001.jpg", "x");
        for (const char* f : c.files) d.write(f, "x");
        const auto m = FindMonthMedia(d.file("Artwork/May001.jpg"));
        if (!c.expected) {
            EXPECT_FALSE(m) << c.files[0];
            continue;
        }
        ASSERT_TRUE(m) << c.expected;
        EXPECT_EQ(m->file, d.file(c.expected));
    }
}

TEST_F(MonthMediaTest, LoopKeysOfTheSoundsFile) {
    dir.write("SOUNDS/May001.wav", "x");
    struct Case {
        const char* ini;  // nullptr: no file
        bool loop;
    };
    const Case cases[] = {
        {nullptr, false},
        {"[Loop]\r\nMay001.wav=1\r\n", true},
        {"[loop]\nmay001.WAV = 1\n", true},  // sections and keys ignore case
        {"[Loop]\r\nMay001.wav=0\r\n", false},
        {"[Loop]\r\nMay001.wav=7\r\n", true},  // any whole number but 0
        {"[Loop]\r\nMay001.wav=yes\r\n", false},
        {"[Loop]\r\nMay001.wav=\r\n", false},
        {"[Loop]\r\nOther.wav=1\r\n", false},
        {"[Other]\r\nMay001.wav=1\r\n", false},
        {"\x01\x02\xff garbage without sections\r\n=\r\n[", false},
        {"", false},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir.file("SOUNDS/Sounds.ini"));
        if (c.ini) dir.write("SOUNDS/Sounds.ini", c.ini);
        const auto m = FindMonthMedia(picture());
        ASSERT_TRUE(m);
        EXPECT_EQ(m->loop, c.loop) << (c.ini ? c.ini : "(no file)");
    }
    // The file's name is matched ignoring case too.
    std::filesystem::remove(dir.file("SOUNDS/Sounds.ini"));
    dir.write("SOUNDS/sounds.INI", "[Loop]\r\nMay001.wav=1\r\n");
    EXPECT_TRUE(FindMonthMedia(picture())->loop);
}

TEST_F(MonthMediaTest, AFolderInPlaceOfTheLoopFileMeansNoRepetition) {
    dir.write("SOUNDS/May001.wav", "x");
    std::filesystem::create_directory(dir.file("SOUNDS/Sounds.ini"));
    const auto m = FindMonthMedia(picture());
    ASSERT_TRUE(m);
    EXPECT_FALSE(m->loop);
}

TEST_F(MonthMediaTest, TheLoopFileIsNeverTheMedium) {
    test::TempDir d;
    std::filesystem::create_directory(d.file("Artwork"));
    std::filesystem::create_directory(d.file("SOUNDS"));
    d.write("Artwork/Sounds.jpg", "x");
    d.write("SOUNDS/Sounds.ini", "[Loop]\r\n");
    EXPECT_FALSE(FindMonthMedia(d.file("Artwork/Sounds.jpg")));
}

TEST_F(MonthMediaTest, MediaFoldersAreFoundIgnoringCase) {
    test::TempDir d;
    std::filesystem::create_directory(d.file("artwork"));
    std::filesystem::create_directory(d.file("Sounds"));
    d.write("artwork/May001.jpg", "x");
    d.write("Sounds/May001.wav", "x");
    const auto m = FindMonthMedia(d.file("artwork/May001.jpg"));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->file, d.file("Sounds/May001.wav"));
}

TEST(MonthMediaNames, RootAndPatterns) {
    EXPECT_EQ(mediaRoot("/p/Artwork/x.jpg"), "/p/");
    EXPECT_EQ(mediaRoot("/p/ARTWORK/x.jpg"), "/p/");
    // The path keeps its own case, and a folder further up that starts with the word is not cut into.
    EXPECT_EQ(mediaRoot("/home/Artworks/Orv/artwork/x.jpg"), "/home/Artworks/Orv/");
    EXPECT_EQ(mediaRoot("/p/Pics/x.jpg"), "/p/Pics/");
    EXPECT_EQ(mediaRoot("/p/MyArtworkX/x.jpg"), "/p/My/");

    EXPECT_EQ(exactMediaPattern("May001.jpg"), "May001.*");
    EXPECT_EQ(exactMediaPattern("May001"), "May001.*");
    EXPECT_EQ(genericMediaPattern("Spring003.jpg"), "Springxxx.*");
    EXPECT_EQ(genericMediaPattern("May001.jpg"), "Mayxxx.*");
    EXPECT_EQ(genericMediaPattern("a.jpg"), "xxx.*");
}

}  // namespace
}  // namespace orv
