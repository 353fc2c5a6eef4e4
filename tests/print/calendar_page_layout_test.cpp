#include "print/calendar_page_layout.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(CalendarPageLayout, PictureFrameForBothCalendarSizes) {
    struct Case {
        int w, h, size;
        PictureRect frame;
    };
    const Case cases[] = {
        {640, 480, 0, {33, 10, 338, 254}},  // trunc(338.67), even already
        {640, 480, 1, {33, 8, 338, 254}},
        {800, 400, 0, {11, 41, 382, 191}},  // wider than 3:2: the width rules
        {800, 400, 1, {11, 39, 382, 191}},
        {600, 400, 0, {11, 10, 382, 254}},  // exactly 3:2 takes the height rule; 381 made even
        {601, 400, 0, {11, 10, 382, 254}},  // just wider than 3:2: trunc(254.24)
        {100, 4000, 1, {199, 8, 6, 254}},   // trunc(6.35) = 6
        {1, 1, 0, {75, 10, 254, 254}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " size " << c.size);
        const auto frame = CalendarPictureFrame(c.w, c.h, c.size);
        ASSERT_TRUE(frame);
        EXPECT_EQ(*frame, c.frame) << frame->left << "," << frame->top << " " << frame->width << "x" << frame->height;
    }
}

TEST(CalendarPageLayout, NoFrameChangeWithoutPictureOrKnownSize) {
    const int cases[][3] = {{640, 480, 2}, {640, 480, -1}, {0, 480, 0}, {640, 0, 1}, {-5, 480, 0}};
    for (const auto& c : cases)
        EXPECT_FALSE(CalendarPictureFrame(c[0], c[1], c[2])) << c[0] << "x" << c[1] << " " << c[2];
}

TEST(CalendarPageLayout, PageFitsTheSheetKeepingItsProportions) {
    struct Case {
        int pageW, pageH;
        PrintSize printed;
    };
    const Case cases[] = {
        // Portrait A4 at 1200 dpi: the page is taller in proportion, so the width rules.
        {9921, 14031, {9921, 13040}},  // 531 * 9921 / 404 = 13039.7
        // Landscape: the height rules, the page sits at the left.
        {14031, 9921, {7548, 9921}},  // 404 * 9921 / 531 = 7548.2
        // A sheet of the page's own proportions takes the width rule (the width is not less than the sheet's).
        {808, 1062, {808, 1062}},
        {4040, 5311, {4040, 5310}},  // one pixel too tall for the height rule: 4040.8 rounds to 4041
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pageW << "x" << c.pageH);
        const auto size = FitToPage(kCalendarPageWidth, kCalendarPageHeight, c.pageW, c.pageH);
        ASSERT_TRUE(size);
        EXPECT_EQ(*size, c.printed) << size->width << "x" << size->height;
        EXPECT_LE(size->width, c.pageW);
        EXPECT_LE(size->height, c.pageH);
    }
}

TEST(CalendarPageLayout, NothingFitsOntoOrFromAnEmptyArea) {
    const int cases[][4] = {{404, 531, 0, 14031}, {404, 531, 9921, 0}, {0, 531, 9921, 14031}, {404, 0, 9921, 14031}};
    for (const auto& c : cases) EXPECT_FALSE(FitToPage(c[0], c[1], c[2], c[3]));
}

}  // namespace
}  // namespace orv
