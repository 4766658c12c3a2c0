#pragma once

#include <cstdint>

// The Linux stand-in for the saver's window timer: one frame per tick of
// kFrameIntervalMs on a monotonic millisecond clock. Like a window timer it
// never makes up ticks it missed: a frame that ends a whole interval or more
// late starts the schedule again from that moment. The simulation advances by
// one step per delivered tick, never by elapsed time.

// The deadline of the tick after one that was due at `deadline`, given that the
// frame it triggered finished at `now`.
int64_t NextTickDeadline(int64_t deadline, int64_t now);

// How long to wait for input before the tick due at `deadline`: 0 when it is due.
int TickWaitMs(int64_t deadline, int64_t now);
