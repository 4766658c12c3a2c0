#include "sim/vector3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "tests/support/sim_fixture.h"

namespace {

struct ReciprocalPath {
    const char* name;
    float (*invSqrt)(float);
    float (*reciprocal)(float);
};

class ReciprocalPathTest : public testing::TestWithParam<ReciprocalPath> {};

TEST_P(ReciprocalPathTest, StaysWithinTheAccuracyBound) {
    const ReciprocalPath& path = GetParam();
    std::mt19937 generator(12345);
    std::uniform_real_distribution<double> exponent(-30.0, 30.0);
    for (int i = 0; i < 200000; ++i) {
        const float a = static_cast<float>(std::pow(10.0, exponent(generator)));
        const double exactInvSqrt = 1.0 / std::sqrt(static_cast<double>(a));
        const double exactReciprocal = 1.0 / static_cast<double>(a);
        ASSERT_NEAR(path.invSqrt(a) / exactInvSqrt, 1.0, kReciprocalError) << "a = " << a;
        ASSERT_NEAR(path.reciprocal(a) / exactReciprocal, 1.0, kReciprocalError) << "a = " << a;
    }
}

TEST_P(ReciprocalPathTest, FollowsIeeeRulesForSpecialValues) {
    const ReciprocalPath& path = GetParam();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(path.invSqrt(0.0f), inf);
    EXPECT_EQ(path.reciprocal(0.0f), inf);
    EXPECT_TRUE(std::isnan(path.invSqrt(nan)));
    EXPECT_TRUE(std::isnan(path.reciprocal(nan)));
    EXPECT_EQ(path.invSqrt(inf), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Paths, ReciprocalPathTest,
                         testing::Values(ReciprocalPath{"Sse", SseInvSqrt, SseReciprocal},
                                         ReciprocalPath{"Exact", ExactInvSqrt, ExactReciprocal}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChooseReciprocalsTest, UsesSseOnlyWhenProcessorAndSystemAllowIt) {
    ChooseReciprocals(false);
    EXPECT_FALSE(UsingSseReciprocals());
    EXPECT_EQ(FastInvSqrt(3.0f), ExactInvSqrt(3.0f));
    EXPECT_EQ(FastReciprocal(3.0f), ExactReciprocal(3.0f));

    ChooseReciprocals(true);
    EXPECT_EQ(UsingSseReciprocals(), CpuHasSse());
    if (CpuHasSse()) {
        EXPECT_EQ(FastInvSqrt(3.0f), SseInvSqrt(3.0f));
        EXPECT_EQ(FastReciprocal(3.0f), SseReciprocal(3.0f));
        // The approximation really is in use: it differs from the exact value.
        EXPECT_NE(SseInvSqrt(3.0f), ExactInvSqrt(3.0f));
    }
    ChooseReciprocals(false);
}

#if defined(__x86_64__)
TEST(ChooseReciprocalsTest, EveryX8664ProcessorHasSse) {
    EXPECT_TRUE(CpuHasSse());
}
#endif

class Vector3Test : public SimTest {};

TEST_F(Vector3Test, NormalizeGuardedZeroesShortVectors) {
    for (const Vector3& input :
         {Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0005f, 0.0f, 0.0f), Vector3(0.0f, -0.0004f, 0.0003f),
          Vector3(std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.0f)}) {
        Vector3 v = input;
        EXPECT_EQ(v.NormalizeGuarded(), 0.0f);
        EXPECT_EQ(v.x, 0.0f);
        EXPECT_EQ(v.y, 0.0f);
        EXPECT_EQ(v.z, 0.0f);
    }
}

TEST_F(Vector3Test, NormalizeGuardedScalesToUnitLength) {
    Vector3 v(3.0f, 4.0f, 0.0f);
    const float s = v.NormalizeGuarded();
    EXPECT_NEAR(s, 0.2, 0.2 * kReciprocalError);
    EXPECT_NEAR(v.x, 0.6, 0.6 * kReciprocalError);
    EXPECT_NEAR(v.y, 0.8, 0.8 * kReciprocalError);
    EXPECT_EQ(v.z, 0.0f);

    // Just above the guard's length of 0.001 the vector is still normalised.
    Vector3 small(0.0011f, 0.0f, 0.0f);
    EXPECT_GT(small.NormalizeGuarded(), 0.0f);
    EXPECT_NEAR(small.x, 1.0, kReciprocalError);
}

TEST_F(Vector3Test, InverseLengthOfZeroIsInfinite) {
    EXPECT_EQ(Vector3().InverseLength(), std::numeric_limits<float>::infinity());
    EXPECT_NEAR(Vector3(0.0f, 0.0f, 2.0f).InverseLength(), 0.5, 0.5 * kReciprocalError);
}

TEST_F(Vector3Test, SetScaleAndAssignment) {
    Vector3 v;
    v.Set(1.5f, -2.0f, 4.0f);
    Vector3 copy;
    copy = v;
    copy.Scale(2.0f);
    EXPECT_EQ(copy.x, 3.0f);
    EXPECT_EQ(copy.y, -4.0f);
    EXPECT_EQ(copy.z, 8.0f);
    EXPECT_EQ(v.x, 1.5f);  // the copy is a separate object
    v.Scale(0.0f);
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.0f);
}

}  // namespace
