#include "x11/frame_clock.h"

#include <algorithm>

#include "render/renderer.h"

int64_t NextTickDeadline(int64_t deadline, int64_t now) {
    const int64_t next = deadline + kFrameIntervalMs;
    return next > now ? next : now + kFrameIntervalMs;
}

int TickWaitMs(int64_t deadline, int64_t now) {
    return static_cast<int>(std::clamp<int64_t>(deadline - now, 0, kFrameIntervalMs));
}
