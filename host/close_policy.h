#pragma once

#include <cstdint>

// The full-screen saver closes once the pointer has travelled more than this
// many pixels, |dx| + |dy|, from its anchor.
inline constexpr uint32_t kMouseThreshold = 4;

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

bool PointerTravelExceeds(ScreenPoint anchor, ScreenPoint position);

// The pointer-motion rule shared by every full-screen front end: true when the
// motion closes the saver, in which case the anchor moves to the position.
// Otherwise the anchor stays, so slow drift adds up until it passes the threshold.
bool PointerMoveCloses(ScreenPoint& anchor, ScreenPoint position);
