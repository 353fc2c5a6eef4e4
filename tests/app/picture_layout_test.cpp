#include "app/picture_layout.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

constexpr int kPanel1Width = 466;

TEST(PictureLayout, FitsThePictureInTheBoxOfEachSize) {
    struct Case {
        int w, h, size;
        PictureRect expected;
    };
    const Case cases[] = {
        // Exactly 3:2 takes the height rule: 300 high, 450 wide, top (316 - 300) / 2 + 2.
        {600, 400, 1, {8, 10, 450, 300}},
        {600, 400, 0, {63, 7, 340, 226}},  // 339 made even
        // Wider than 3:2: the box width rules.
        {800, 400, 0, {61, 34, 344, 172}},
        {800, 400, 1, {8, 47, 450, 225}},
        // An odd width is made even: trunc(0.7525 * 300) = 225, so 226.
        {301, 400, 1, {120, 10, 226, 300}},
        {301, 400, 0, {148, 7, 170, 226}},
        // Just wider than 3:2.
        {601, 400, 1, {8, 10, 450, 299}},
        // Tall and narrow.
        {100, 4000, 1, {229, 10, 8, 300}},
    };
    for (const Case& c : cases) {
        const auto r = LayoutPicture(c.w, c.h, c.size, kPanel1Width);
        ASSERT_TRUE(r) << c.w << "x" << c.h;
        EXPECT_EQ(*r, c.expected) << c.w << "x" << c.h << " size " << c.size << ": got " << r->left << "," << r->top
                                  << " " << r->width << "x" << r->height;
    }
}

TEST(PictureLayout, LeavesTheFrameForOtherSizesAndEmptyPictures) {
    for (int size : {-1, 2, 5}) EXPECT_FALSE(LayoutPicture(600, 400, size, kPanel1Width)) << size;
    EXPECT_FALSE(LayoutPicture(0, 400, 1, kPanel1Width));
    EXPECT_FALSE(LayoutPicture(600, 0, 1, kPanel1Width));
}

TEST(PictureLayout, SizeGroupTakesLargeValuesAsLargeAndNegativeAsNone) {
    EXPECT_EQ(sizeGroupIndex(0), 0);
    EXPECT_EQ(sizeGroupIndex(1), 1);
    EXPECT_EQ(sizeGroupIndex(7), 1);
    EXPECT_EQ(sizeGroupIndex(-3), -1);
}

TEST(PictureLayout, EnlargesToTheScreenAndCentres) {
    struct Case {
        int w, h, sw, sh;
        PictureRect expected;
    };
    const Case cases[] = {
        {800, 400, 1024, 768, {10, 133, 1004, 502}},    // wide: width rule
        {600, 400, 1920, 1080, {165, 10, 1590, 1060}},  // 3:2: height rule
        {600, 400, 1024, 768, {10, 49, 1004, 669}},     // 3:2 on 4:3: the height rule would be 1122 wide
        {300, 400, 1024, 768, {231, 10, 561, 748}},     // tall
        // 4:3 on a 5:4 screen: the height rule would be 1338 wide; the width rule fits.
        {800, 600, 1280, 1024, {10, 39, 1260, 945}},
        // Wide on a very wide, short screen: fitting the width would be too high.
        {800, 500, 3840, 1080, {1072, 10, 1696, 1060}},
    };
    for (const Case& c : cases) {
        const auto r = EnlargedPicture(c.w, c.h, c.sw, c.sh);
        ASSERT_TRUE(r);
        EXPECT_EQ(*r, c.expected) << c.w << "x" << c.h << " on " << c.sw << "x" << c.sh << ": got " << r->left << ","
                                  << r->top << " " << r->width << "x" << r->height;
        EXPECT_LE(r->width, c.sw - 20);
        EXPECT_LE(r->height, c.sh - 20);
    }
    EXPECT_FALSE(EnlargedPicture(0, 0, 1024, 768));
}

}  // namespace
}  // namespace orv
