#include <gtest/gtest.h>

#include "common/day_number.h"

namespace orv {
namespace {

TEST(DayNumber, KnownDays) {
    EXPECT_EQ(dayNumber(1899, 12, 30), 0);
    EXPECT_EQ(dayNumber(2000, 1, 1), 36526);
    EXPECT_EQ(dayNumber(1960, 1, 1), 21916);
    EXPECT_EQ(dateKey(36526), "36526");
}

}  // namespace
}  // namespace orv
