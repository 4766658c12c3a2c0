#include "sim/scene.h"

Scene gScene;
RandomSource gRandom;

int NextRandom() {
    gRandom.state = gRandom.state * 214013u + 2531011u;
    return static_cast<int>((gRandom.state >> 16) & 0x7FFFu);
}

namespace {

// A coordinate in the middle quarter of a dimension of the given size. Below 4
// pixels the quarter has no whole pixel to choose from (and would divide by
// zero), so the coordinate is the middle of the dimension; the draw is still
// consumed so that the sequence of later draws does not depend on the size.
double BandCoordinate(int random, int size) {
    const int quarter = static_cast<int>(size * 0.25);
    const double middle = size * 0.5;
    if (quarter <= 0) {
        return middle;
    }
    return (random % quarter) + middle - size * 0.125;
}

}  // namespace

Vector3 RandomSpawnPoint(int width, int height) {
    const double y = BandCoordinate(NextRandom(), height);
    const double x = BandCoordinate(NextRandom(), width);
    return Vector3(static_cast<float>(x), static_cast<float>(y), 0.0f);
}

void InitScene(int width, int height) {
    gScene.width = width;
    gScene.height = height;
    gScene.difference = std::make_unique<Vector3>();
    gScene.accumulator = std::make_unique<Vector3>();
    for (auto& slot : gScene.bodies) {
        slot = std::make_unique<Body>();
        slot->position = RandomSpawnPoint(width, height);
        slot->mass = static_cast<float>(NextRandom() % 100 + 15);
    }
}

void FreeScene() {
    gScene.difference.reset();
    gScene.accumulator.reset();
    for (auto& slot : gScene.bodies) {
        slot.reset();
    }
}
