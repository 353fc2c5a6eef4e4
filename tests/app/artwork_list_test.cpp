#include "app/artwork_list.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/temp_dir.h"

namespace orv {
namespace {

std::string nameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

TEST(ArtworkList, SortsIgnoringCaseAndRepeatsThreeFilesOverTheYear) {
    test::TempDir dir;
    for (const char* n : {"c.jpg", "A.bmp", "b.JPG", "notes.txt", "d.png", "e.jpeg", "f.bmp.txt"}) dir.write(n, "x");
    const auto list = BuildArtworkList(dir.path());
    ASSERT_EQ(list.size(), 12u);
    const char* expected[] = {"A.bmp", "b.JPG", "c.jpg"};
    for (int m = 0; m < 12; ++m) EXPECT_EQ(nameOf(list[m]), expected[m % 3]) << "month " << m + 1;
    EXPECT_EQ(list[0], dir.path() + "/A.bmp");
}

TEST(ArtworkList, FiveFilesFillTheYearInOrder) {
    test::TempDir dir;
    for (const char* n : {"p5.jpg", "p3.jpg", "P1.jpg", "p4.BMP", "p2.jpg"}) dir.write(n, "x");
    const auto list = BuildArtworkList(dir.path());
    ASSERT_EQ(list.size(), 12u);
    const char* expected[] = {"P1.jpg", "p2.jpg", "p3.jpg", "p4.BMP", "p5.jpg"};
    for (int m = 0; m < 12; ++m) EXPECT_EQ(nameOf(list[m]), expected[m % 5]) << "month " << m + 1;
    // November and December show the first two again.
    EXPECT_EQ(nameOf(list[10]), "P1.jpg");
    EXPECT_EQ(nameOf(list[11]), "p2.jpg");
}

TEST(ArtworkList, ThirteenFilesGiveTwelveDifferentSortedPictures) {
    test::TempDir dir;
    std::set<std::string> all;
    for (int i = 1; i <= 13; ++i) {
        const std::string n = "m" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".jpg";
        dir.write(n, "x");
        all.insert(n);
    }
    const auto list = BuildArtworkList(dir.path());
    ASSERT_EQ(list.size(), 12u);
    std::set<std::string> seen;
    for (size_t i = 0; i < list.size(); ++i) {
        seen.insert(nameOf(list[i]));
        if (i > 0) EXPECT_LT(nameOf(list[i - 1]), nameOf(list[i]));
    }
    EXPECT_EQ(seen.size(), 12u);  // one of the thirteen left out, none repeated
    for (const auto& n : seen) EXPECT_TRUE(all.count(n)) << n;
}

TEST(ArtworkList, OneFileServesEveryMonthAndNoneGivesAnEmptyList) {
    test::TempDir dir;
    EXPECT_TRUE(BuildArtworkList(dir.path()).empty());
    EXPECT_TRUE(BuildArtworkList(dir.file("missing")).empty());
    dir.write("only.jpg", "x");
    const auto list = BuildArtworkList(dir.path());
    ASSERT_EQ(list.size(), 12u);
    for (const auto& p : list) EXPECT_EQ(nameOf(p), "only.jpg");
}

}  // namespace
}  // namespace orv
