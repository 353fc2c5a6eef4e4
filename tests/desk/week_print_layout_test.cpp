#include "desk/week_print_layout.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

// A4 landscape at 1200 and at 300 dots per inch, and a sheet whose pixels per millimetre differ by axis.
TEST(WeekPrintLayout, MillimetresBecomeWholePixelsPerMillimetre) {
    struct Case {
        int wPx, hPx, wMm, hMm;
        int ppmmX, ppmmY, x0, y0, x254, y193, fontDpi, title16, text11, dayNames10;
    };
    const Case cases[] = {
        // 14031 / 297 = 47.2: the fraction is dropped, so the sheet prints slightly small.
        {14031, 9921, 297, 210, 47, 47, 235, 47, 12173, 9118, 1880, 257, 176, 261},
        {3507, 2480, 297, 210, 11, 11, 55, 11, 2849, 2134, 440, 60, 41, 61},
        {5000, 2000, 250, 200, 20, 10, 100, 10, 5180, 1940, 400, 54, 37, 56},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.wPx << "x" << c.hPx);
        const WeekPrintLayout l(c.wPx, c.hPx, c.wMm, c.hMm, true);
        ASSERT_TRUE(l.usable());
        EXPECT_EQ(l.ppmmX(), c.ppmmX);
        EXPECT_EQ(l.ppmmY(), c.ppmmY);
        EXPECT_EQ(l.MmToX(0), c.x0);  // 5 mm in from the left
        EXPECT_EQ(l.MmToY(0), c.y0);  // 1 mm down
        EXPECT_EQ(l.MmToX(254), c.x254);
        EXPECT_EQ(l.MmToY(193), c.y193);
        EXPECT_EQ(l.fontResolution(), c.fontDpi);
        EXPECT_EQ(l.screenFontHeight(16), c.title16);  // the title's 12 pt on screen, truncated
        EXPECT_EQ(l.screenFontHeight(11), c.text11);
        EXPECT_EQ(l.pointFontHeight(10), c.dayNames10);
    }
}

TEST(WeekPrintLayout, APageWithoutSizeIsNotUsable) {
    const int sheets[][4] = {{0, 9921, 297, 210}, {14031, 9921, 0, 210}, {14031, 9921, 297, 0}, {200, 100, 297, 210}};
    for (const auto& s : sheets) {
        const WeekPrintLayout l(s[0], s[1], s[2], s[3], true);
        EXPECT_FALSE(l.usable()) << s[0] << " " << s[2] << " " << s[3];
        EXPECT_EQ(l.lineCount(1, 10), 0);
    }
}

TEST(WeekPrintLayout, FramesOfBothLayouts) {
    struct Case {
        bool weekends;
        size_t count;
        WeekPrintLayout::Frame outer, header, firstCell, lastWeekdayCell;
    };
    const Case cases[] = {
        {false, 22, {{0, 0, 254, 193}, 7}, {{2, 2, 252, 12}, 5}, {{2, 22, 52, 62}, 5}, {{202, 142, 252, 182}, 5}},
        {true, 30, {{0, 0, 256, 193}, 7}, {{2, 2, 254, 12}, 5}, {{2, 22, 44, 62}, 5}, {{170, 142, 212, 182}, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.weekends ? "with weekends" : "weekdays only");
        const auto frames = WeekPrintLayout(3507, 2480, 297, 210, c.weekends).frames();
        ASSERT_EQ(frames.size(), c.count);
        const auto same = [](const WeekPrintLayout::Frame& a, const WeekPrintLayout::Frame& b) {
            return a.mm == b.mm && a.pen == b.pen;
        };
        EXPECT_TRUE(same(frames[0], c.outer));
        EXPECT_TRUE(same(frames[1], c.header));
        EXPECT_TRUE(same(frames[2], c.firstCell));
        EXPECT_TRUE(same(frames[21], c.lastWeekdayCell));
    }
    // The weekend column: eight half-cells, Saturday over Sunday in each row.
    const auto frames = WeekPrintLayout(3507, 2480, 297, 210, true).frames();
    EXPECT_EQ(frames[22].mm, (MmRect{212, 22, 254, 42}));
    EXPECT_EQ(frames[23].mm, (MmRect{212, 42, 254, 62}));
    EXPECT_EQ(frames[29].mm, (MmRect{212, 162, 254, 182}));
}

TEST(WeekPrintLayout, DayNamesOfBothLayouts) {
    const auto five = WeekPrintLayout(3507, 2480, 297, 210, false).dayNames();
    ASSERT_EQ(five.size(), 5u);
    const int fiveAt[] = {26, 76, 126, 176, 236};  // Friday right of its column's centre 227
    for (size_t k = 0; k < 5; ++k) EXPECT_EQ(five[k].at, (MmPoint{fiveAt[k], 20})) << five[k].text;
    EXPECT_EQ(five[4].text, "Friday");

    const auto seven = WeekPrintLayout(3507, 2480, 297, 210, true).dayNames();
    ASSERT_EQ(seven.size(), 6u);
    const int sevenAt[] = {22, 64, 106, 146, 188, 230};
    for (size_t k = 0; k < 6; ++k) EXPECT_EQ(seven[k].at, (MmPoint{sevenAt[k], 20})) << seven[k].text;
    EXPECT_EQ(seven[5].text, "Sat/Sun");
}

TEST(WeekPrintLayout, WhereEachCellPrints) {
    struct Case {
        bool weekends;
        int cell;
        bool printed;
        MmPoint number;
        int textLeft;
    };
    const Case cases[] = {
        {false, 1, true, {48, 28}, 4},     // Monday of week 1
        {false, 5, true, {248, 28}, 204},  // Friday
        {false, 22, true, {48, 148}, 4},   // Monday of week 4
        {false, 6, false, {}, 0},          // Saturday and Sunday are left out
        {false, 28, false, {}, 0},         {true, 1, true, {40, 28}, 4},
        {true, 5, true, {208, 28}, 172},   {true, 6, true, {250, 28}, 214},  // Saturday in the upper half
        {true, 7, true, {250, 48}, 214},                                     // Sunday in the lower half
        {true, 27, true, {250, 148}, 214}, {true, 28, true, {250, 168}, 214},
        {true, 0, false, {}, 0},           {true, 29, false, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.weekends ? "weekends, cell " : "weekdays, cell ") << c.cell);
        const WeekPrintLayout l(3507, 2480, 297, 210, c.weekends);
        EXPECT_EQ(l.printsCell(c.cell), c.printed);
        const auto number = l.dayNumberAt(c.cell);
        EXPECT_EQ(number.has_value(), c.printed);
        if (!c.printed) continue;
        EXPECT_EQ(*number, c.number);
        EXPECT_EQ(l.textLeft(c.cell), c.textLeft);
    }
}

TEST(WeekPrintLayout, LinesOfEachCell) {
    // 47 pixels per millimetre, lines 202 pixels apart: 1880 / 202 = 9 lines in a cell, 940 / 202 = 4 in a half.
    struct Case {
        bool weekends;
        int cell, lineHeight;
        int firstTop, count;
    };
    const Case cases[] = {
        {true, 1, 202, 47 * 21 + 202, 9},   {true, 15, 202, 47 * 101 + 202, 9},  // week 3
        {true, 6, 202, 47 * 21 + 202, 4},                                        // Saturday starts with the row
        {true, 7, 202, 47 * 41 + 202, 4},                                        // Sunday 20 mm lower
        {true, 28, 202, 47 * 161 + 202, 4}, {false, 22, 202, 47 * 141 + 202, 9},
        {false, 6, 202, 47 * 21 + 202, 0},   // not printed
        {true, 1, 1881, 47 * 21 + 1881, 0},  // a line taller than the cell
        {true, 1, 0, 47 * 21, 0},            // no line height: no lines, no division
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cell " << c.cell << " line " << c.lineHeight);
        const WeekPrintLayout l(14031, 9921, 297, 210, c.weekends);
        EXPECT_EQ(l.firstLineTop(c.cell, c.lineHeight), c.firstTop);
        EXPECT_EQ(l.lineCount(c.cell, c.lineHeight), c.count);
    }
    // The last line of a full cell may reach below the cell's frame.
    const WeekPrintLayout l(14031, 9921, 297, 210, true);
    EXPECT_GT(l.firstLineTop(1, 202) + 9 * 202, l.MmToY(62));
}

TEST(WeekPrintLayout, FooterAndAnchors) {
    EXPECT_EQ(WeekPrintLayout(3507, 2480, 297, 210, false).footer(1), (MmPoint{252, 188}));
    EXPECT_EQ(WeekPrintLayout(3507, 2480, 297, 210, false).footer(2), (MmPoint{252, 191}));
    EXPECT_EQ(WeekPrintLayout(3507, 2480, 297, 210, true).footer(1), (MmPoint{255, 188}));
    EXPECT_EQ(WeekPrintLayout(3507, 2480, 297, 210, true).footer(2), (MmPoint{255, 191}));

    struct Case {
        TextAnchor anchor;
        int x, width, left;
    };
    const Case cases[] = {
        {TextAnchor::Left, 100, 31, 100},
        {TextAnchor::Right, 100, 31, 69},
        {TextAnchor::Centre, 100, 31, 85},  // half the width, fraction dropped
        {TextAnchor::Centre, 100, 30, 85},
    };
    for (const Case& c : cases) EXPECT_EQ(WeekPrintLayout::anchoredLeft(c.anchor, c.x, c.width), c.left);
}

}  // namespace
}  // namespace orv
