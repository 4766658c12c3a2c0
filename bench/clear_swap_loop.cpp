// The least a full-screen GLX saver can do at Orrelin's frame rate: the same
// window, visual and 11 ms tick, but each frame only clears and swaps. Runs
// until SIGTERM or SIGINT, then prints how many frames it drew.
#include <poll.h>
#include <signal.h>
#include <time.h>

#include <cstdio>

#include "render/gl.h"
#include "render/renderer.h"
#include "x11/frame_clock.h"
#include "x11/glx_surface.h"

namespace {

volatile sig_atomic_t gStop = 0;

void OnStop(int) {
    gStop = 1;
}

int64_t MonotonicMs() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "clear_swap_loop: cannot open display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    XVisualInfo* visual = ChooseSaverVisual(display, screen);
    if (visual == nullptr) {
        std::fprintf(stderr, "clear_swap_loop: no double-buffered visual\n");
        return 1;
    }
    const Window root = RootWindow(display, screen);
    XSetWindowAttributes attributes = {};
    attributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    attributes.override_redirect = True;
    const Window window = XCreateWindow(
        display, root, 0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen), 0,
        visual->depth, InputOutput, visual->visual, CWColormap | CWOverrideRedirect, &attributes);
    XStoreName(display, window, "clear_swap_loop");
    GlxSurface surface;
    if (!CreateGlContext(surface, display, window, visual)) {
        std::fprintf(stderr, "clear_swap_loop: no GL context\n");
        return 1;
    }
    XFree(visual);
    XMapRaised(display, window);

    struct sigaction action = {};
    action.sa_handler = OnStop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    long frames = 0;
    pollfd wait = {ConnectionNumber(display), POLLIN, 0};
    int64_t deadline = MonotonicMs() + kFrameIntervalMs;
    while (!gStop) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
        poll(&wait, 1, TickWaitMs(deadline, MonotonicMs()));
        if (MonotonicMs() >= deadline) {
            glClearColor(0.5f, 0.5f, 0.5f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            glFinish();
            PresentGlx(&surface);
            ++frames;
            deadline = NextTickDeadline(deadline, MonotonicMs());
        }
    }
    ReleaseGlContext(surface);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    std::printf("%ld frames\n", frames);
    return 0;
}
