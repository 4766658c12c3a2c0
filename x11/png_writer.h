#pragma once

#include <cstdint>
#include <string>

// Writes an 8-bit RGB PNG of W x H pixels, rows top first, 3 bytes a pixel with
// no row padding. The file appears at `path` only when complete: it is written
// beside it under a temporary name and renamed at the end. On failure returns
// false with a one-line reason in `error` and leaves nothing behind.
bool WritePngRgb(const std::string& path, int width, int height, const uint8_t* pixels,
                 std::string& error);
