#include "x11/snapshot.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

#include "render/gl.h"
#include "render/renderer.h"
#include "sim/gravity.h"
#include "sim/scene.h"
#include "x11/egl_surface.h"
#include "x11/png_writer.h"

namespace {

void IgnorePoint(float, float, float) {}

// Reads the W x H colour buffer as RGB, rows top first. Returns nullptr with a
// reason in `error` when the memory or the read fails.
std::unique_ptr<uint8_t[]> ReadFrame(int width, int height, std::string& error) {
    const size_t stride = static_cast<size_t>(width) * 3;
    std::unique_ptr<uint8_t[]> pixels(new (std::nothrow)
                                          uint8_t[stride * static_cast<size_t>(height)]);
    if (!pixels) {
        error = "not enough memory for a " + std::to_string(width) + "x" + std::to_string(height) +
                " picture";
        return nullptr;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.get());
    if (const GLenum code = glGetError(); code != GL_NO_ERROR) {
        char message[64];
        std::snprintf(message, sizeof message, "OpenGL: glReadPixels failed (error 0x%04X)", code);
        error = message;
        return nullptr;
    }
    // OpenGL counts rows from the bottom; a PNG starts at the top.
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(pixels.get() + stride * top, pixels.get() + stride * (top + 1),
                         pixels.get() + stride * bottom);
    }
    return pixels;
}

}  // namespace

bool WriteSnapshot(const SnapshotRequest& request, std::string& error) {
    if (request.width < kMinSnapshotSide || request.width > kMaxSnapshotSide ||
        request.height < kMinSnapshotSide || request.height > kMaxSnapshotSide) {
        error = "snapshot size must be between 1 and " + std::to_string(kMaxSnapshotSide) +
                " pixels a side";
        return false;
    }
    if (request.frame < kMinSnapshotFrame || request.frame > kMaxSnapshotFrame) {
        error = "snapshot frame must be between 1 and " + std::to_string(kMaxSnapshotFrame);
        return false;
    }
    if (request.path.empty()) {
        error = "no snapshot file name given";
        return false;
    }

    EglSurface egl;
    if (!CreateEglSurface(request.width, request.height, egl, error)) {
        return false;
    }

    // What a fresh saver window does on creation, then its first ticks.
    gRandom = RandomSource{};
    StartAnimation(request.width, request.height);
    // The frames before the one wanted only need to move the bodies and the clock.
    for (int32_t frame = 1; frame < request.frame; ++frame) {
        gFrameCounter = NextFrameCounter(gFrameCounter);
        ComputeAccelerations();
        AdvanceAndDraw(IgnorePoint);
    }
    RenderFrame(PresentEglSurface, &egl);
    std::unique_ptr<uint8_t[]> pixels = ReadFrame(request.width, request.height, error);
    FreeScene();
    ReleaseEglSurface(egl);
    if (!pixels) {
        return false;
    }
    return WritePngRgb(request.path, request.width, request.height, pixels.get(), error);
}
