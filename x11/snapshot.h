#pragma once

#include <cstdint>
#include <string>

// Limits the command line enforces before asking for a snapshot. A side of
// 16384 pixels is the largest pbuffer Mesa's software rasteriser offers; a
// million frames replays a little over three hours of animation, which the
// simulation alone runs through in well under a minute.
inline constexpr int kMinSnapshotSide = 1;
inline constexpr int kMaxSnapshotSide = 16384;
inline constexpr int32_t kMinSnapshotFrame = 1;
inline constexpr int32_t kMaxSnapshotFrame = 1000000;
inline constexpr int kDefaultSnapshotWidth = 1024;
inline constexpr int kDefaultSnapshotHeight = 768;
inline constexpr int32_t kDefaultSnapshotFrame = 1;

struct SnapshotRequest {
    std::string path;
    int width = kDefaultSnapshotWidth;
    int height = kDefaultSnapshotHeight;
    // The picture shown at this tick of a fresh saver window (1 = the first).
    int32_t frame = kDefaultSnapshotFrame;
};

// Renders the requested frame off screen (EGL, no display needed) and writes it
// as an 8-bit RGB PNG. On failure returns false with a one-line reason in
// `error`; no file is left at the path (an existing one stays untouched).
bool WriteSnapshot(const SnapshotRequest& request, std::string& error);
