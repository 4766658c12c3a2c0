#pragma once

#include <EGL/egl.h>

#include <string>

// An off-screen OpenGL context: Mesa's surfaceless EGL platform with a pbuffer,
// so frames can be drawn with no display server at all.
struct EglSurface {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

// Creates a W x H pbuffer with an OpenGL (compatibility) context and makes it
// current. On failure releases whatever was made, leaves `egl` empty and
// returns false with a one-line reason in `error`.
bool CreateEglSurface(int width, int height, EglSurface& egl, std::string& error);

// Releases the context, the pbuffer and the display; safe on an empty record.
void ReleaseEglSurface(EglSurface& egl);

// PresentFrame for RenderFrame; `target` is the EglSurface.
void PresentEglSurface(void* target);
