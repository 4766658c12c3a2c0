#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <ostream>

#include "render/renderer.h"

namespace {

struct CounterCase {
    int32_t before;
    int32_t after;
};

void PrintTo(const CounterCase& step, std::ostream* out) {
    *out << step.before;
}

class NextFrameCounterTest : public ::testing::TestWithParam<CounterCase> {};

TEST_P(NextFrameCounterTest, AdvancesByElevenWithTwosComplementWrap) {
    EXPECT_EQ(NextFrameCounter(GetParam().before), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Counters, NextFrameCounterTest,
                         ::testing::Values(CounterCase{0, 11}, CounterCase{11, 22},
                                           CounterCase{-11, 0},
                                           CounterCase{INT32_MAX - 11, INT32_MAX},
                                           // The step before frame 195,225,787.
                                           CounterCase{2147483646, -2147483639},
                                           CounterCase{INT32_MAX, INT32_MIN + 10}));

struct ColourCase {
    int32_t counter;
    float red;
    float green;
    float blue;
};

void PrintTo(const ColourCase& colour, std::ostream* out) {
    *out << "counter " << colour.counter;
}

class CycleColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(CycleColourTest, FollowsTheThreeWaves) {
    const ColourCase& expected = GetParam();
    const ClearColour colour = CycleColour(expected.counter);
    EXPECT_NEAR(colour.red, expected.red, 1e-6);
    EXPECT_NEAR(colour.green, expected.green, 1e-6);
    EXPECT_NEAR(colour.blue, expected.blue, 1e-6);
}

// The first, second and hundredth frames, mid-grey at the start.
INSTANTIATE_TEST_SUITE_P(Frames, CycleColourTest,
                         ::testing::Values(ColourCase{11, 0.5055f, 0.507857f, 0.513748f},
                                           ColourCase{22, 0.510999f, 0.515712f, 0.527486f},
                                           ColourCase{1100, 0.945604f, 1.0f, 0.690831f}));

TEST(CycleColour, NegativeCountersMirrorPositiveOnes) {
    // sin is odd, so after the wrap each channel is the mirror image around 0.5.
    for (const int32_t counter : {11, 1100, 123457, 2147483639}) {
        const ClearColour up = CycleColour(counter);
        const ClearColour down = CycleColour(-counter);
        EXPECT_NEAR(up.red + down.red, 1.0f, 2e-7) << counter;
        EXPECT_NEAR(up.green + down.green, 1.0f, 2e-7) << counter;
        EXPECT_NEAR(up.blue + down.blue, 1.0f, 2e-7) << counter;
    }
}

TEST(CycleColour, UsesTheSinglePrecisionRatesInDoubleArithmetic) {
    // Far out on the counter, rounding the product to single precision would
    // move the phase by whole radians; the colour must follow the wide product.
    const int32_t counter = -2147483639;
    const double t = counter;
    const ClearColour colour = CycleColour(counter);
    EXPECT_NEAR(colour.red, (std::sin(t * double{0.001f}) + 1.0) * 0.5, 1e-6);
    EXPECT_NEAR(colour.green, (std::sin(t * double{0.0014285714f}) + 1.0) * 0.5, 1e-6);
    EXPECT_NEAR(colour.blue, (std::sin(t * double{0.0025f}) + 1.0) * 0.5, 1e-6);
}

}  // namespace
