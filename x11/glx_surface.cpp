#include "x11/glx_surface.h"

XVisualInfo* ChooseSaverVisual(Display* display, int screen) {
    // Sizes are minimums; a zero asks for the smallest buffer, preferably none.
    int attributes[] = {GLX_RGBA,
                        GLX_DOUBLEBUFFER,
                        GLX_RED_SIZE,
                        8,
                        GLX_GREEN_SIZE,
                        8,
                        GLX_BLUE_SIZE,
                        8,
                        GLX_ALPHA_SIZE,
                        0,
                        GLX_DEPTH_SIZE,
                        0,
                        GLX_STENCIL_SIZE,
                        0,
                        GLX_ACCUM_RED_SIZE,
                        0,
                        None};
    return glXChooseVisual(display, screen, attributes);
}

bool VisualSuitsSaver(Display* display, XVisualInfo* visual) {
    int useGl = 0;
    int rgba = 0;
    int doubleBuffer = 0;
    return glXGetConfig(display, visual, GLX_USE_GL, &useGl) == 0 && useGl &&
           glXGetConfig(display, visual, GLX_RGBA, &rgba) == 0 && rgba &&
           glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubleBuffer) == 0 && doubleBuffer;
}

XVisualInfo* VisualOfWindow(Display* display, const XWindowAttributes& attributes) {
    XVisualInfo wanted = {};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    return XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &wanted, &count);
}

bool CreateGlContext(GlxSurface& surface, Display* display, Window window, XVisualInfo* visual) {
    surface.display = display;
    surface.window = window;
    surface.context = glXCreateContext(display, visual, nullptr, True);
    if (surface.context == nullptr) {
        return false;
    }
    if (!glXMakeCurrent(display, window, surface.context)) {
        glXDestroyContext(display, surface.context);
        surface.context = nullptr;
        return false;
    }
    return true;
}

void ReleaseGlContext(GlxSurface& surface) {
    if (surface.context == nullptr) {
        return;
    }
    glXMakeCurrent(surface.display, None, nullptr);
    glXDestroyContext(surface.display, surface.context);
    surface.context = nullptr;
}

void PresentGlx(void* target) {
    const GlxSurface* surface = static_cast<const GlxSurface*>(target);
    glXSwapBuffers(surface->display, surface->window);
}
