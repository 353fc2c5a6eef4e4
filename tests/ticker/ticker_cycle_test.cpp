#include "ticker/ticker_cycle.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using Titles = std::vector<std::string>;

// The titles of n ticks; "-" where the title stays as it is.
Titles run(TickerCycle& cycle, int n) {
    Titles out;
    for (int i = 0; i < n; ++i) out.push_back(cycle.tick().value_or("-"));
    return out;
}

TEST(TickerCycle, ThreeItemsShowTheFirstFromTheSecondRoundOn) {
    TickerCycle c;
    c.start({"A", "B", "C"});
    EXPECT_TRUE(c.enabled());
    EXPECT_EQ(c.firstItem(), "A");
    EXPECT_EQ(run(c, 9), (Titles{"B", "C", "Orvella", "A", "B", "C", "Orvella", "A", "B"}));
    EXPECT_EQ(c.TickerPosition(), 1);
}

TEST(TickerCycle, OneItemAlternatesWithTheProductName) {
    TickerCycle c;
    c.start({"A"});
    EXPECT_EQ(run(c, 5), (Titles{"Orvella", "A", "Orvella", "A", "Orvella"}));
}

TEST(TickerCycle, NoItemsLeaveTheTitleAndStopTheTimer) {
    TickerCycle c;
    c.start({});
    EXPECT_TRUE(c.enabled());  // on until its first tick
    EXPECT_EQ(run(c, 3), (Titles{"-", "-", "-"}));
    EXPECT_FALSE(c.enabled());
    EXPECT_EQ(c.firstItem(), "");
}

TEST(TickerCycle, ARebuildStartsAgainFromTheTop) {
    TickerCycle c;
    c.start({"A", "B"});
    EXPECT_EQ(run(c, 1), (Titles{"B"}));
    c.start({"X", "Y", "Z"});
    EXPECT_EQ(c.TickerPosition(), 0);
    EXPECT_EQ(run(c, 3), (Titles{"Y", "Z", "Orvella"}));
}

TEST(TickerCycle, AnEmptyRebuildTakesAStaleItemOutOfTheTitle) {
    TickerCycle c;
    c.start({"A", "B"});
    EXPECT_EQ(run(c, 1), (Titles{"B"}));
    c.start({});
    EXPECT_EQ(run(c, 2), (Titles{"Orvella", "-"}));
    EXPECT_FALSE(c.enabled());

    // After the product name nothing needs taking back.
    c.start({"A"});
    EXPECT_EQ(run(c, 1), (Titles{"Orvella"}));
    c.start({});
    EXPECT_EQ(run(c, 1), (Titles{"-"}));
}

TEST(TickerCycle, AStoppedTimerShowsNothing) {
    TickerCycle c;
    EXPECT_EQ(run(c, 2), (Titles{"-", "-"}));
    c.start({"A", "B"});
    c.stop();
    EXPECT_EQ(run(c, 2), (Titles{"-", "-"}));
}

}  // namespace
}  // namespace orv
