#include "sim/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/sim_fixture.h"

namespace {

class SceneTest : public SimTest {};

TEST_F(SceneTest, RandomSourceStartsWithTheKnownSequence) {
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int value : expected) {
        EXPECT_EQ(NextRandom(), value);
    }
}

struct StartingBody {
    int slot;
    float x;
    float y;
    float mass;
};

struct StartingFieldCase {
    int width;
    int height;
    std::vector<StartingBody> bodies;
};

void PrintTo(const StartingFieldCase& c, std::ostream* out) {
    *out << c.width << "x" << c.height;
}

class StartingFieldTest : public SimTest, public testing::WithParamInterface<StartingFieldCase> {};

TEST_P(StartingFieldTest, FreshSourceGivesTheKnownField) {
    const StartingFieldCase& c = GetParam();
    InitScene(c.width, c.height);
    EXPECT_EQ(gScene.width, c.width);
    EXPECT_EQ(gScene.height, c.height);
    for (const StartingBody& expected : c.bodies) {
        const Body& body = BodyAt(expected.slot);
        EXPECT_EQ(body.position.x, expected.x) << "slot " << expected.slot;
        EXPECT_EQ(body.position.y, expected.y) << "slot " << expected.slot;
        EXPECT_EQ(body.position.z, 0.0f);
        EXPECT_EQ(body.mass, expected.mass) << "slot " << expected.slot;
        EXPECT_EQ(body.velocity.x, 0.0f);
        EXPECT_EQ(body.velocity.y, 0.0f);
        EXPECT_EQ(body.acceleration.x, 0.0f);
        EXPECT_EQ(body.acceleration.y, 0.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, StartingFieldTest,
    testing::Values(
        StartingFieldCase{
            1024,
            768,
            {{0, 419.0f, 329.0f, 49.0f}, {1, 609.0f, 292.0f, 39.0f}, {2, 558.0f, 438.0f, 77.0f}}},
        StartingFieldCase{152, 112, {{0, 94.0f, 55.0f, 49.0f}, {1, 74.0f, 54.0f, 39.0f}}}));

TEST_F(SceneTest, EveryBodyStartsInTheMiddleBandWithAWholeMass) {
    for (auto [width, height] :
         {std::pair{1024, 768}, std::pair{152, 112}, std::pair{8, 8}, std::pair{2560, 1024}}) {
        gRandom = RandomSource{};
        InitScene(width, height);
        for (const auto& body : gScene.bodies) {
            const Vector3& p = body->position;
            EXPECT_GE(p.x, 3 * width / 8.0);
            EXPECT_LT(p.x, 5 * width / 8.0);
            EXPECT_GE(p.y, 3 * height / 8.0);
            EXPECT_LT(p.y, 5 * height / 8.0);
            EXPECT_EQ(body->mass, std::floor(body->mass));
            EXPECT_GE(body->mass, 15.0f);
            EXPECT_LE(body->mass, 114.0f);
        }
        FreeScene();
    }
}

TEST_F(SceneTest, EachBodyTakesThreeDrawsVerticalFirst) {
    // Draw 1 (41) places y, draw 2 (18467) places x, draw 3 (6334) the mass.
    const Vector3 first = RandomSpawnPoint(1024, 768);
    EXPECT_EQ(first.y, 41 % 192 + 384 - 96);
    EXPECT_EQ(first.x, 18467 % 256 + 512 - 128);
    EXPECT_EQ(NextRandom(), 6334);
}

TEST_F(SceneTest, MassesCoverTheWholeRange) {
    // Over many fields every mass from 15 to 114 turns up, and no other.
    std::vector<int> seen(200, 0);
    for (int run = 0; run < 200; ++run) {
        InitScene(640, 480);
        for (const auto& body : gScene.bodies) {
            ++seen[static_cast<int>(body->mass)];
        }
    }
    for (int mass = 0; mass < 200; ++mass) {
        if (mass >= 15 && mass <= 114) {
            EXPECT_GT(seen[mass], 0) << "mass " << mass;
        } else {
            EXPECT_EQ(seen[mass], 0) << "mass " << mass;
        }
    }
}

TEST_F(SceneTest, TinyAreasPlaceBodiesInTheMiddleOfTheDegenerateDimension) {
    for (int width = 0; width <= 4; ++width) {
        for (int height = 0; height <= 4; ++height) {
            gRandom = RandomSource{};
            InitScene(width, height);
            for (const auto& body : gScene.bodies) {
                const Vector3& p = body->position;
                if (width < 4) {
                    EXPECT_EQ(p.x, width * 0.5f) << width << "x" << height;
                } else {
                    EXPECT_GE(p.x, 1.5f);
                    EXPECT_LT(p.x, 2.5f);
                }
                if (height < 4) {
                    EXPECT_EQ(p.y, height * 0.5f) << width << "x" << height;
                }
            }
            // Every size still consumes three draws a body.
            RandomSource expected;
            for (int i = 0; i < 3 * kBodyCount; ++i) {
                expected.state = expected.state * 214013u + 2531011u;
            }
            EXPECT_EQ(gRandom.state, expected.state);
            FreeScene();
        }
    }
}

TEST_F(SceneTest, SuccessiveRunsLayOutTheSameField) {
    InitScene(800, 600);
    std::vector<Body> first;
    for (const auto& body : gScene.bodies) {
        first.push_back(*body);
    }
    FreeScene();
    gRandom = RandomSource{};
    InitScene(800, 600);
    for (int slot = 0; slot < kBodyCount; ++slot) {
        EXPECT_EQ(BodyAt(slot).position.x, first[slot].position.x);
        EXPECT_EQ(BodyAt(slot).position.y, first[slot].position.y);
        EXPECT_EQ(BodyAt(slot).mass, first[slot].mass);
    }
}

TEST_F(SceneTest, FreeSceneEmptiesEverySlot) {
    InitScene(320, 240);
    FreeScene();
    for (const auto& slot : gScene.bodies) {
        EXPECT_EQ(slot, nullptr);
    }
    EXPECT_EQ(gScene.difference, nullptr);
    EXPECT_EQ(gScene.accumulator, nullptr);
    FreeScene();  // a second free finds nothing to destroy
}

}  // namespace
