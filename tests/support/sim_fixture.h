#pragma once

#include <gtest/gtest.h>

#include "sim/gravity.h"
#include "sim/scene.h"

// Every simulation test starts from what a fresh process has: the random
// source at its initial state and the reciprocal path the product would choose
// on this processor. The field is freed again afterwards.
class SimTest : public testing::Test {
  protected:
    void SetUp() override {
        gRandom = RandomSource{};
        ChooseReciprocals(true);
    }
    void TearDown() override {
        FreeScene();
        ChooseReciprocals(false);
    }

    static Body& BodyAt(int slot) { return *gScene.bodies[slot]; }

    // Gives every body mass 0 at rest in the middle of the area, so that only
    // the bodies a test places afterwards pull on anything or get replaced.
    static void SilenceField() {
        for (auto& body : gScene.bodies) {
            body->position.Set(gScene.width * 0.5f, gScene.height * 0.5f, 0.0f);
            body->velocity.Set(0.0f, 0.0f, 0.0f);
            body->acceleration.Set(0.0f, 0.0f, 0.0f);
            body->mass = 0.0f;
        }
    }
};

// Relative error bound of the approximate reciprocals.
inline constexpr double kReciprocalError = 1.5 / 4096.0;
