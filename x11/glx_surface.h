#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// The GL binding of an X drawable: the window and the GLX context current on it
// while the saver runs.
struct GlxSurface {
    Display* display = nullptr;
    Window window = None;
    GLXContext context = nullptr;
};

// The saver's visual: RGBA, 8 bits per colour channel, double-buffered, and
// preferring no alpha, depth, stencil or accumulation bits. Null when the screen
// has none. Free with XFree.
XVisualInfo* ChooseSaverVisual(Display* display, int screen);

// Whether GL can draw double-buffered RGBA into windows of this visual.
bool VisualSuitsSaver(Display* display, XVisualInfo* visual);

// The XVisualInfo of a window's visual, or null. Free with XFree.
XVisualInfo* VisualOfWindow(Display* display, const XWindowAttributes& attributes);

// Creates a direct-if-possible context for the visual and makes it current on
// the window. False (with nothing left current) on failure.
bool CreateGlContext(GlxSurface& surface, Display* display, Window window, XVisualInfo* visual);
void ReleaseGlContext(GlxSurface& surface);

// RenderFrame's presenter: `target` is the GlxSurface.
void PresentGlx(void* target);
