// A million frames at two sizes: every position stays finite, and after each
// frame every body is inside the area or back in the middle band at rest.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/sim_fixture.h"

namespace {

void DiscardPoint(float, float, float) {}

bool Inside(const Vector3& p, int width, int height) {
    return p.x > -1.0f && p.x <= width && p.y >= 1.0f && p.y <= height;
}

bool InMiddleBandAtRest(const Body& body, int width, int height) {
    const Vector3& p = body.position;
    return p.x >= 3 * width / 8.0 && p.x < 5 * width / 8.0 && p.y >= 3 * height / 8.0 &&
           p.y < 5 * height / 8.0 && body.velocity.x == 0.0f && body.velocity.y == 0.0f;
}

class SoakTest : public SimTest, public testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(SoakTest, MillionFramesStayFiniteAndInBounds) {
    const auto [width, height] = GetParam();
    InitScene(width, height);
    long replacements = 0;
    for (long frame = 0; frame < 1000000; ++frame) {
        ComputeAccelerations();
        AdvanceAndDraw(DiscardPoint);
        for (const auto& body : gScene.bodies) {
            const Vector3& p = body->position;
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && p.z == 0.0f)
                << "frame " << frame;
            ASSERT_TRUE(std::isfinite(body->velocity.x) && std::isfinite(body->velocity.y))
                << "frame " << frame;
            const bool inside = Inside(p, width, height);
            const bool respawned = InMiddleBandAtRest(*body, width, height);
            ASSERT_TRUE(inside || respawned) << "frame " << frame << " at " << p.x << ", " << p.y;
            if (!inside || respawned) {
                ++replacements;
            }
        }
    }
    EXPECT_GT(replacements, 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SoakTest,
                         testing::Values(std::pair{1024, 768}, std::pair{152, 112}),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" +
                                    std::to_string(info.param.second);
                         });

}  // namespace
