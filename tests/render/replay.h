#pragma once

// Replays the field of a fresh saver window and records the points a frame draws.

#include <cmath>
#include <cstdint>
#include <vector>

#include "sim/gravity.h"
#include "sim/scene.h"

struct DrawnPoint {
    float x;
    float y;
    float size;
};

inline std::vector<DrawnPoint> gDrawnPoints;

inline void CapturePoint(float x, float y, float size) {
    gDrawnPoints.push_back({x, y, size});
}

// The 30 points of frame `frame` (1 = the first tick) in a W x H window.
inline std::vector<DrawnPoint> PointsOfFrame(int width, int height, int32_t frame) {
    gRandom = RandomSource{};
    InitScene(width, height);
    for (int32_t tick = 1; tick <= frame; ++tick) {
        gDrawnPoints.clear();
        ComputeAccelerations();
        AdvanceAndDraw(CapturePoint);
    }
    FreeScene();
    return gDrawnPoints;
}

// A pixel column and row (rows counted from the bottom) whose centre is
// further than `clearance` from every point.
inline bool FindBackgroundPixel(const std::vector<DrawnPoint>& points, int width, int height,
                                float clearance, int& column, int& row) {
    for (row = 0; row < height; ++row) {
        for (column = 0; column < width; ++column) {
            bool clear = true;
            for (const DrawnPoint& point : points) {
                if (std::fabs(column + 0.5f - point.x) <= clearance &&
                    std::fabs(row + 0.5f - point.y) <= clearance) {
                    clear = false;
                    break;
                }
            }
            if (clear) {
                return true;
            }
        }
    }
    return false;
}
