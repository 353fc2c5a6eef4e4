#include <gtest/gtest.h>

#include "common/grid_text.h"

namespace orv {
namespace {

TEST(GridText, WritesCountsWidthsAndNonEmptyCellsOnly) {
    GridText t(3, 3);  // one fixed row and column: 2 x 2 data cells
    t.setWidth(0, 35);
    t.setWidth(1, 100);
    t.setWidth(2, 7);
    t.setCell(0, 1, "fixed, never written");
    t.setCell(1, 1, "a");
    t.setCell(2, 2, "Smith, John");
    EXPECT_EQ(writeGridText(t, 1),
              "2,2\r\n"
              "cw 0,35\r\ncw 1,100\r\ncw 2,7\r\n"
              "1,1,a\r\n"
              "2,2,Smith, John\r\n");
}

TEST(GridText, RoundTripKeepsCellsWidthsAndLineBreaks) {
    for (const int fixed : {0, 1}) {
        GridText t(4 + fixed, 3 + fixed);
        for (int c = 0; c < t.columns(); ++c) t.setWidth(c, 10 + c);
        t.setCell(fixed, fixed, "two\r\nlines");
        t.setCell(fixed + 3, fixed + 2, "tail, with, commas");
        t.setCell(fixed + 1, fixed + 1, "only LF\nhere");
        const GridTextRead back = readGridText(writeGridText(t, fixed), fixed);
        ASSERT_EQ(back.status, GridTextStatus::Ok) << fixed;
        EXPECT_EQ(back.table.columns(), t.columns());
        EXPECT_EQ(back.table.rows(), t.rows());
        for (int c = 0; c < t.columns(); ++c) EXPECT_EQ(back.table.width(c), 10 + c);
        for (int r = fixed; r < t.rows(); ++r)
            for (int c = fixed; c < t.columns(); ++c) EXPECT_EQ(back.table.cell(c, r), t.cell(c, r)) << c << "," << r;
    }
}

TEST(GridText, LineBreaksAreStoredAsTabAndBackspace) {
    GridText t(1, 1);
    t.setCell(0, 0, "a\r\nb");
    EXPECT_EQ(writeGridText(t, 0), "1,1\r\ncw 0,0\r\n0,0,a\t\bb\r\n");
}

TEST(GridText, ReaderIgnoresLinesOutsideTheTableOrMalformed) {
    const GridTextRead r = readGridText(
        "2,1\r\n"
        "cw 9,50\r\n"  // no such column
        "cw 1,60\r\n"
        "3,1,too far right\r\n"
        "1,2,too far down\r\n"
        "x,1,not a column\r\n"
        "1,1\r\n"  // one comma only
        "\r\n"
        "2,1,kept\r\n",
        1);
    EXPECT_EQ(r.status, GridTextStatus::Ok);
    EXPECT_EQ(r.table.columns(), 3);
    EXPECT_EQ(r.table.rows(), 2);
    EXPECT_EQ(r.table.width(1), 60);
    EXPECT_EQ(r.table.cell(2, 1), "kept");
    EXPECT_EQ(r.table.cell(1, 1), "");
}

TEST(GridText, AcceptsLoneCrOrLfLineEnds) {
    const GridTextRead r = readGridText("1,2\ncw 1,5\r1,1,a\n1,2,b", 1);
    EXPECT_EQ(r.status, GridTextStatus::Ok);
    EXPECT_EQ(r.table.width(1), 5);
    EXPECT_EQ(r.table.cell(1, 1), "a");
    EXPECT_EQ(r.table.cell(1, 2), "b");
}

TEST(GridText, CountLineNumbersStopAtTheFirstNonDigit) {
    const GridTextRead r = readGridText("  6xyz, 3 rows\r\n4,3,x\r\n", 1);
    EXPECT_EQ(r.status, GridTextStatus::Ok);
    EXPECT_EQ(r.table.columns(), 7);
    EXPECT_EQ(r.table.rows(), 4);
    EXPECT_EQ(r.table.cell(4, 3), "x");
}

struct CorruptCase {
    const char* name;
    const char* bytes;
};

class GridTextCorrupt : public testing::TestWithParam<CorruptCase> {};

TEST_P(GridTextCorrupt, IsReportedAndAllocatesNothingFromTheCount) {
    const GridTextRead r = readGridText(GetParam().bytes, 1);
    EXPECT_EQ(r.status, GridTextStatus::Corrupt);
    EXPECT_LE(r.table.rows(), kGridTextMaxRows + 1);
    EXPECT_LE(r.table.columns(), kGridTextMaxColumns + 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, GridTextCorrupt,
                         testing::Values(CorruptCase{"empty", ""}, CorruptCase{"noNumbers", "abc\r\n"},
                                         CorruptCase{"noComma", "6\r\n"}, CorruptCase{"noRows", "6,\r\n"},
                                         CorruptCase{"hugeRows", "6,99999999999999999999\r\n"},
                                         CorruptCase{"rowsJustOver", "6,100001\r\n"},
                                         CorruptCase{"manyColumns", "65,1\r\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridText, AbsurdCountStillKeepsTheCellsThatArePresent) {
    const GridTextRead r = readGridText("6,4000000000\r\ncw 1,80\r\n1,1,Ann\r\n4,2,14\r\n", 1);
    EXPECT_EQ(r.status, GridTextStatus::Corrupt);
    EXPECT_EQ(r.table.rows(), 3);  // as far as the real lines go
    EXPECT_EQ(r.table.columns(), 7);
    EXPECT_EQ(r.table.width(1), 80);
    EXPECT_EQ(r.table.cell(1, 1), "Ann");
    EXPECT_EQ(r.table.cell(4, 2), "14");
}

TEST(GridText, BoundsThemselvesAreAccepted) {
    const GridTextRead r = readGridText("64,100000\r\n64,100000,last\r\n", 1);
    EXPECT_EQ(r.status, GridTextStatus::Ok);
    EXPECT_EQ(r.table.rows(), 100001);
    EXPECT_EQ(r.table.cell(64, 100000), "last");
}

TEST(GridText, ReadLeadingNumber) {
    EXPECT_EQ(readLeadingNumber("  12ab"), 12);
    EXPECT_EQ(readLeadingNumber("0"), 0);
    EXPECT_EQ(readLeadingNumber("-3"), std::nullopt);
    EXPECT_EQ(readLeadingNumber(""), std::nullopt);
    EXPECT_EQ(readLeadingNumber("999999999999999999999999"), 2147483647);
}

}  // namespace
}  // namespace orv
