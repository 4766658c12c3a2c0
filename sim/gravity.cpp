#include "sim/gravity.h"

#include <cmath>

void ComputeAccelerations() {
    Vector3& difference = *gScene.difference;
    Vector3& accumulator = *gScene.accumulator;
    for (const auto& body : gScene.bodies) {
        const Vector3& p = body->position;
        const float m = body->mass;
        accumulator.Set(0.0f, 0.0f, 0.0f);
        for (const auto& other : gScene.bodies) {
            const Vector3& q = other->position;
            difference.Set(q.x - p.x, q.y - p.y, q.z - p.z);
            float s = difference.InverseLength();
            // Separations under 7 pixels count as 7; only the magnitude is clamped.
            if (s > kMaxInverseSeparation) {
                s = kMaxInverseSeparation;
            }
            const float force = m * other->mass * s * s * kGravity;
            // Zero for the body itself and for coincident bodies.
            difference.NormalizeGuarded();
            difference.Scale(force);
            accumulator.Set(accumulator.x + difference.x, accumulator.y + difference.y,
                            accumulator.z + difference.z);
        }
        accumulator.Scale(FastReciprocal(m));
        body->acceleration = accumulator;
    }
}

namespace {

// A body stays while -1 < x <= W and 1 <= y <= H.
bool HasLeftArea(const Vector3& p, int width, int height) {
    const double x = p.x;
    const double y = p.y;
    return std::ceil(y) > height || std::floor(y) <= 0.0 || std::ceil(x) > width ||
           std::ceil(x) < 0.0;
}

}  // namespace

void AdvanceAndDraw(PointSink sink) {
    const int width = gScene.width;
    const int height = gScene.height;
    for (const auto& body : gScene.bodies) {
        Vector3& v = body->velocity;
        Vector3& p = body->position;
        const Vector3& a = body->acceleration;
        v.Set(a.x * kStepFactor + v.x, a.y * kStepFactor + v.y, 0.0f);
        p.Set(v.x * kStepFactor + p.x, v.y * kStepFactor + p.y, 0.0f);
        sink(p.x, p.y, body->mass * kPointScale);
        if (HasLeftArea(p, width, height)) {
            v.Set(0.0f, 0.0f, 0.0f);
            p = RandomSpawnPoint(width, height);
        }
    }
}
