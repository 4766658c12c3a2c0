#include "host/close_policy.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

struct TravelCase {
    ScreenPoint anchor;
    ScreenPoint position;
    bool exceeds;
};

void PrintTo(const TravelCase& c, std::ostream* out) {
    *out << "(" << c.anchor.x << ", " << c.anchor.y << ") to (" << c.position.x << ", "
         << c.position.y << ")";
}

class PointerTravelTest : public testing::TestWithParam<TravelCase> {};

TEST_P(PointerTravelTest, ComparesSummedTravelWithThreshold) {
    const TravelCase& c = GetParam();
    EXPECT_EQ(PointerTravelExceeds(c.anchor, c.position), c.exceeds);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PointerTravelTest,
    testing::Values(TravelCase{{100, 100}, {100, 100}, false},
                    TravelCase{{100, 100}, {102, 102}, false},  // 2 right, 2 down: sum 4
                    TravelCase{{100, 100}, {103, 102}, true},   // one more pixel
                    TravelCase{{100, 100}, {96, 100}, false},
                    TravelCase{{100, 100}, {95, 100}, true},
                    TravelCase{{-1280, 0}, {-1283, -2}, true},
                    TravelCase{{INT_MIN, 0}, {INT_MAX, 0}, true},  // no wrap into a small distance
                    TravelCase{{0, 0}, {INT_MIN, 0}, true}));

TEST(PointerMoveClosesTest, AnchorMovesOnlyWhenClosing) {
    ScreenPoint anchor{10, 10};
    EXPECT_FALSE(PointerMoveCloses(anchor, {12, 12}));
    EXPECT_EQ(anchor.x, 10);
    EXPECT_EQ(anchor.y, 10);
    // Slow drift adds up against the unmoved anchor.
    EXPECT_TRUE(PointerMoveCloses(anchor, {13, 12}));
    EXPECT_EQ(anchor.x, 13);
    EXPECT_EQ(anchor.y, 12);
    EXPECT_FALSE(PointerMoveCloses(anchor, {14, 13}));
}
