#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "sim/vector3.h"

inline constexpr int kBodyCount = 30;

// One point mass.
class Body {
  public:
    Vector3 position;
    Vector3 velocity;
    Vector3 acceleration;
    float mass = 0.0f;
};

// The field: one per process, created with the saver window and freed with it.
struct Scene {
    int32_t width = 0;
    int32_t height = 0;
    std::array<std::unique_ptr<Body>, kBodyCount> bodies;
    // Scratch vectors of the force pass, kept here so a frame allocates nothing.
    std::unique_ptr<Vector3> difference;
    std::unique_ptr<Vector3> accumulator;
};

extern Scene gScene;

// The process-wide random source. It starts at 1 and is never reseeded, so every
// run lays out the same field for the same size.
struct RandomSource {
    uint32_t state = 1;
};

extern RandomSource gRandom;

// One draw, 0..32767.
int NextRandom();

// A point in the middle band, 3/8 to 5/8 of each dimension; two draws, y first.
Vector3 RandomSpawnPoint(int width, int height);

void InitScene(int width, int height);
void FreeScene();
