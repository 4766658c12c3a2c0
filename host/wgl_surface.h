#pragma once

#include "host/saver_state.h"

// The saver window's device context and its OpenGL rendering context, held
// from window creation to window destruction.
struct GlSurface {
    HDC deviceContext = nullptr;
    HGLRC renderingContext = nullptr;
};

extern GlSurface gGlSurface;

// The pixel format the saver asks for: OpenGL, double buffered, 24-bit RGBA,
// nothing else (no alpha, depth, stencil or accumulation bits).
PIXELFORMATDESCRIPTOR PixelFormatRequest();

// Binds a rendering context to the window's device context and makes it
// current; fills gGlSurface. Failures are not detected.
void CreateGlContext(HWND window);

void ReleaseGlContext(HWND window, HDC deviceContext, HGLRC renderingContext);
