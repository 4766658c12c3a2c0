#include "x11/frame_clock.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameClock, KeepsTheIntervalAndDropsMissedTicks) {
    struct Case {
        int64_t deadline;
        int64_t now;  // when the frame for `deadline` finished
        int64_t next;
    };
    const Case cases[] = {
        {1000, 1000, 1011},  // on time: the next tick is one interval after this one
        {1000, 1004, 1011},  // a slow frame does not stretch the interval
        {1000, 1010, 1011}, {1000, 1011, 1022},  // a whole interval late: start again from now
        {1000, 1500, 1511},                      // long stall: the missed ticks are not made up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.now);
        EXPECT_EQ(NextTickDeadline(c.deadline, c.now), c.next);
    }
}

TEST(FrameClock, WaitsUntilTheTickIsDue) {
    EXPECT_EQ(TickWaitMs(1011, 1000), 11);
    EXPECT_EQ(TickWaitMs(1011, 1007), 4);
    EXPECT_EQ(TickWaitMs(1011, 1011), 0);
    EXPECT_EQ(TickWaitMs(1011, 1300), 0);
    // A clock that stepped backwards cannot put the wait beyond one interval.
    EXPECT_EQ(TickWaitMs(5000, 1000), 11);
}

}  // namespace
