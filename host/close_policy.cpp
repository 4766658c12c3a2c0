#include "host/close_policy.h"

#include <cstdlib>

bool PointerTravelExceeds(ScreenPoint anchor, ScreenPoint position) {
    // Wide arithmetic: positions at opposite ends of the 32-bit range cannot
    // wrap round into a small distance.
    const int64_t travel =
        std::llabs(int64_t{position.x} - anchor.x) + std::llabs(int64_t{position.y} - anchor.y);
    return static_cast<uint64_t>(travel) > kMouseThreshold;
}

bool PointerMoveCloses(ScreenPoint& anchor, ScreenPoint position) {
    if (!PointerTravelExceeds(anchor, position)) {
        return false;
    }
    anchor = position;
    return true;
}
