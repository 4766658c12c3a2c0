#include "sim/gravity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/sim_fixture.h"

namespace {

struct Point {
    float x;
    float y;
    float size;
};

std::vector<Point> gPoints;

void CapturePoint(float x, float y, float size) {
    gPoints.push_back({x, y, size});
}

class GravityTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        gPoints.clear();
    }

    // One frame of both passes, capturing the points.
    static void Frame() {
        ComputeAccelerations();
        AdvanceAndDraw(CapturePoint);
    }
};

TEST_F(GravityTest, BodiesCloserThanSevenPixelsPullAsIfSevenApartAlongTheTrueDirection) {
    InitScene(1024, 768);
    SilenceField();
    const float mass = 49.0f;
    double magnitudes[2];
    const float separations[2] = {3.0f, 7.0f};
    for (int i = 0; i < 2; ++i) {
        BodyAt(0).position.Set(500.0f, 400.0f, 0.0f);
        BodyAt(0).mass = 20.0f;
        // Off the axes, so that a direction taken from the clamped length would show.
        BodyAt(1).position.Set(500.0f + 0.6f * separations[i], 400.0f + 0.8f * separations[i],
                               0.0f);
        BodyAt(1).mass = mass;
        ComputeAccelerations();
        const Vector3& a = BodyAt(0).acceleration;
        magnitudes[i] = std::hypot(a.x, a.y);
        EXPECT_NEAR(a.x / magnitudes[i], 0.6, 0.002);
        EXPECT_NEAR(a.y / magnitudes[i], 0.8, 0.002);
        EXPECT_EQ(a.z, 0.0f);
    }
    const double expected = mass * (1.0 / 49.0) * 0.00001;
    EXPECT_NEAR(magnitudes[0], expected, expected * 4 * kReciprocalError);
    EXPECT_NEAR(magnitudes[1], expected, expected * 4 * kReciprocalError);
}

TEST_F(GravityTest, PullDependsOnlyOnThePullingMass) {
    InitScene(1024, 768);
    SilenceField();
    for (float pulledMass : {15.0f, 49.0f, 114.0f}) {
        BodyAt(3).position.Set(200.0f, 300.0f, 0.0f);
        BodyAt(3).mass = pulledMass;
        BodyAt(7).position.Set(200.0f, 200.0f, 0.0f);
        BodyAt(7).mass = 49.0f;
        ComputeAccelerations();
        const Vector3& a = BodyAt(3).acceleration;
        // 49 * (1/100)^2 * 0.00001, straight down towards the other body.
        EXPECT_NEAR(a.y, -4.9e-8, 4.9e-8 * 5 * kReciprocalError) << "pulled mass " << pulledMass;
        EXPECT_EQ(a.x, 0.0f);
    }
}

TEST_F(GravityTest, ABodyDoesNotPullItself) {
    InitScene(1024, 768);
    SilenceField();
    BodyAt(5).position.Set(300.0f, 300.0f, 0.0f);
    BodyAt(5).mass = 114.0f;
    ComputeAccelerations();
    EXPECT_EQ(BodyAt(5).acceleration.x, 0.0f);
    EXPECT_EQ(BodyAt(5).acceleration.y, 0.0f);
    EXPECT_EQ(BodyAt(5).acceleration.z, 0.0f);
}

TEST_F(GravityTest, CoincidentBodiesExertNoForce) {
    InitScene(1024, 768);
    SilenceField();
    for (int slot : {10, 11}) {
        BodyAt(slot).position.Set(512.0f, 384.0f, 0.0f);
        BodyAt(slot).mass = 80.0f;
    }
    ComputeAccelerations();
    for (int slot : {10, 11}) {
        EXPECT_EQ(BodyAt(slot).acceleration.x, 0.0f);
        EXPECT_EQ(BodyAt(slot).acceleration.y, 0.0f);
    }
}

TEST_F(GravityTest, EveryAccelerationComesFromTheFramesStartingPositions) {
    // Two equal bodies pull on each other equally and oppositely: the second
    // is not computed from an already moved first.
    InitScene(1024, 768);
    SilenceField();
    BodyAt(0).position.Set(400.0f, 400.0f, 0.0f);
    BodyAt(0).mass = 60.0f;
    BodyAt(1).position.Set(430.0f, 400.0f, 0.0f);
    BodyAt(1).mass = 60.0f;
    ComputeAccelerations();
    EXPECT_EQ(BodyAt(0).acceleration.x, -BodyAt(1).acceleration.x);
    EXPECT_GT(BodyAt(0).acceleration.x, 0.0f);
}

TEST_F(GravityTest, AdvanceAppliesTheStepFactorTwiceAndEmitsEveryBodyInSlotOrder) {
    InitScene(1024, 768);
    for (int slot = 0; slot < kBodyCount; ++slot) {
        Body& body = BodyAt(slot);
        body.position.Set(100.0f + slot, 200.0f, 0.0f);
        body.velocity.Set(0.001f, 0.0f, 0.0f);
        body.acceleration.Set(0.0f, 0.00001f, 0.0f);
        body.mass = 15.0f + slot;
    }
    AdvanceAndDraw(CapturePoint);
    ASSERT_EQ(gPoints.size(), static_cast<size_t>(kBodyCount));
    for (int slot = 0; slot < kBodyCount; ++slot) {
        const float vy = 0.00001f * kStepFactor;
        EXPECT_FLOAT_EQ(BodyAt(slot).velocity.y, vy);
        EXPECT_FLOAT_EQ(gPoints[slot].x, 100.0f + slot + 0.001f * kStepFactor);
        EXPECT_FLOAT_EQ(gPoints[slot].y, 200.0f + vy * kStepFactor);
        EXPECT_FLOAT_EQ(gPoints[slot].size, (15.0f + slot) * 0.1f);
    }
}

struct EdgeCase {
    const char* name;
    float x;  // with W = 640, H = 480
    float y;
    bool replaced;
};

void PrintTo(const EdgeCase& c, std::ostream* out) {
    *out << "(" << c.x << ", " << c.y << ")";
}

class EdgeTest : public GravityTest, public testing::WithParamInterface<EdgeCase> {};

TEST_P(EdgeTest, ReplacesOnlyBodiesOutsideTheArea) {
    const EdgeCase& c = GetParam();
    InitScene(640, 480);
    SilenceField();
    Body& body = BodyAt(0);
    body.position.Set(c.x, c.y, 0.0f);
    body.mass = 30.0f;
    const uint32_t stateBefore = gRandom.state;
    AdvanceAndDraw(CapturePoint);
    // A replacement is the only thing that draws from the random source.
    const bool drew = gRandom.state != stateBefore;
    EXPECT_EQ(drew, c.replaced);
    EXPECT_EQ(gPoints[0].x, c.x);
    EXPECT_EQ(gPoints[0].y, c.y);
    if (c.replaced) {
        EXPECT_GE(body.position.x, 240.0f);
        EXPECT_LT(body.position.x, 400.0f);
        EXPECT_GE(body.position.y, 180.0f);
        EXPECT_LT(body.position.y, 300.0f);
    } else {
        EXPECT_EQ(body.position.x, c.x);
        EXPECT_EQ(body.position.y, c.y);
    }
}

INSTANTIATE_TEST_SUITE_P(Edges, EdgeTest,
                         testing::Values(EdgeCase{"RightHalfPixelOut", 640.5f, 100.0f, true},
                                         EdgeCase{"RightEdgeIn", 640.0f, 100.0f, false},
                                         EdgeCase{"LeftHalfPixelIn", -0.5f, 100.0f, false},
                                         EdgeCase{"LeftOnePixelOut", -1.0f, 100.0f, true},
                                         EdgeCase{"BottomHalfPixelOut", 100.0f, 0.5f, true},
                                         EdgeCase{"BottomEdgeIn", 100.0f, 1.0f, false},
                                         EdgeCase{"TopEdgeIn", 100.0f, 480.0f, false},
                                         EdgeCase{"TopJustOut", 100.0f, 480.01f, true},
                                         EdgeCase{"Middle", 320.0f, 240.0f, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GravityTest, RespawnResetsVelocityKeepsMassAndAccelerationAndEmitsTheOldPosition) {
    InitScene(1024, 768);
    SilenceField();
    Body& body = BodyAt(4);
    body.position.Set(1000.0f, 500.0f, 0.0f);
    body.velocity.Set(1.0f, 0.0f, 0.0f);
    body.acceleration.Set(0.0f, 0.0f, 0.0f);
    body.mass = 77.0f;
    AdvanceAndDraw(CapturePoint);
    EXPECT_FLOAT_EQ(gPoints[4].x, 1000.0f + kStepFactor);
    EXPECT_EQ(gPoints[4].y, 500.0f);
    EXPECT_EQ(body.velocity.x, 0.0f);
    EXPECT_EQ(body.velocity.y, 0.0f);
    EXPECT_EQ(body.mass, 77.0f);
    EXPECT_EQ(body.acceleration.x, 0.0f);

    // The new position is the next spawn point the source gives after the field's.
    gRandom = RandomSource{};
    for (int i = 0; i < 3 * kBodyCount; ++i) {
        NextRandom();
    }
    const Vector3 expected = RandomSpawnPoint(1024, 768);
    EXPECT_EQ(body.position.x, expected.x);
    EXPECT_EQ(body.position.y, expected.y);
}

TEST_F(GravityTest, ReplacementKeepsTheAcceleration) {
    InitScene(1024, 768);
    SilenceField();
    Body& body = BodyAt(0);
    body.position.Set(1020.0f, 500.0f, 0.0f);
    body.acceleration.Set(0.01f, 0.0f, 0.0f);
    body.mass = 40.0f;
    AdvanceAndDraw(CapturePoint);
    EXPECT_EQ(body.acceleration.x, 0.01f);
    EXPECT_EQ(body.velocity.x, 0.0f);
}

TEST_F(GravityTest, AWholeRunIsReproducible) {
    auto run = [] {
        gRandom = RandomSource{};
        InitScene(1024, 768);
        gPoints.clear();
        for (int frame = 0; frame < 3000; ++frame) {
            Frame();
        }
        FreeScene();
        return gPoints;
    };
    const std::vector<Point> first = run();
    const std::vector<Point> second = run();
    ASSERT_EQ(first.size(), 3000u * kBodyCount);
    ASSERT_EQ(second.size(), first.size());
    int respawned = 0;
    for (size_t i = 0; i < first.size(); ++i) {
        ASSERT_EQ(first[i].x, second[i].x) << "point " << i;
        ASSERT_EQ(first[i].y, second[i].y) << "point " << i;
        ASSERT_EQ(first[i].size, second[i].size) << "point " << i;
    }
    // The run is not trivially static: bodies moved and some were replaced.
    for (size_t i = kBodyCount; i < first.size(); ++i) {
        if (first[i].x != first[i - kBodyCount].x) {
            ++respawned;
        }
    }
    EXPECT_GT(respawned, 0);
}

TEST_F(GravityTest, TinyAreasRunWithoutFailing) {
    for (int width = 0; width <= 4; ++width) {
        for (int height = 0; height <= 4; ++height) {
            gRandom = RandomSource{};
            InitScene(width, height);
            for (int frame = 0; frame < 50; ++frame) {
                gPoints.clear();
                Frame();
                ASSERT_EQ(gPoints.size(), static_cast<size_t>(kBodyCount));
                for (const Point& p : gPoints) {
                    ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y))
                        << width << "x" << height << " frame " << frame;
                }
            }
            FreeScene();
        }
    }
}

}  // namespace
