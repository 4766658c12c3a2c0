#pragma once

#include "sim/scene.h"

inline constexpr float kMaxInverseSeparation = 1.0f / 7.0f;
inline constexpr float kGravity = 0.00001f;
inline constexpr float kStepFactor = 1000.0f / 11.0f;
inline constexpr float kPointScale = 0.1f;

// Receives each body's point: x and y of its position and the point size.
using PointSink = void (*)(float x, float y, float size);

// Every body's acceleration from the positions at the start of the frame.
void ComputeAccelerations();

// Moves every body, hands its point to the sink in slot order, and puts a body
// that has left the area back in the middle band (at rest, mass kept).
void AdvanceAndDraw(PointSink sink);
