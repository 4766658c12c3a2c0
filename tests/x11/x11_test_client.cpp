// A small X client the window-system tests use to play the other programs
// Orrelin meets: the owner of a window it draws into, a window manager asking a
// window to close, and a screenshot reader.
//
//   x11_test_client create [single]   make a 320x240 window (optionally of a
//                                     visual without double-buffered GL), print
//                                     its id, keep it until killed
//   x11_test_client pixel ID X Y      print the colour of one pixel as "R G B"
//   x11_test_client close ID          ask the window to close (WM_DELETE_WINDOW)
//   x11_test_client destroy ID        destroy the window
//   x11_test_client root              print the root window's id
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: x11_test_client create [single] | pixel ID X Y | close ID | destroy ID | root\n");
    return 2;
}

unsigned ChannelOf(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
        ++shift;
    }
    const unsigned long maximum = mask >> shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / maximum);
}

int Create(Display* display, bool singleBuffered) {
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    int depth = DefaultDepth(display, screen);
    if (singleBuffered) {
        int attributes[] = {GLX_RGBA, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
        XVisualInfo* info = glXChooseVisual(display, screen, attributes);
        int doubleBuffer = 1;
        if (info == nullptr || glXGetConfig(display, info, GLX_DOUBLEBUFFER, &doubleBuffer) != 0 ||
            doubleBuffer) {
            std::fprintf(stderr, "no single-buffered visual\n");
            return 1;
        }
        visual = info->visual;
        depth = info->depth;
    }
    XSetWindowAttributes attributes = {};
    attributes.colormap = XCreateColormap(display, RootWindow(display, screen), visual, AllocNone);
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    Window window =
        XCreateWindow(display, RootWindow(display, screen), 0, 0, 320, 240, 0, depth, InputOutput,
                      visual, CWColormap | CWBackPixel | CWBorderPixel, &attributes);
    XStoreName(display, window, "orrelin-test-owner");
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    for (;;) {
        pause();
    }
}

int Pixel(Display* display, Window window, int x, int y) {
    XWindowAttributes attributes = {};
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return 1;
    }
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return 1;
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);
    std::printf("%u %u %u\n", ChannelOf(pixel, attributes.visual->red_mask),
                ChannelOf(pixel, attributes.visual->green_mask),
                ChannelOf(pixel, attributes.visual->blue_mask));
    XDestroyImage(image);
    return 0;
}

int Close(Display* display, Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

int RunCommand(Display* display, int argc, char** argv) {
    const char* command = argv[1];
    if (std::strcmp(command, "root") == 0) {
        std::printf("0x%lx\n", DefaultRootWindow(display));
        return 0;
    }
    if (std::strcmp(command, "create") == 0) {
        return Create(display, argc > 2 && std::strcmp(argv[2], "single") == 0);
    }
    if (argc < 3) {
        return Usage();
    }
    const Window window = std::strtoul(argv[2], nullptr, 0);
    if (std::strcmp(command, "pixel") == 0 && argc == 5) {
        return Pixel(display, window, std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (std::strcmp(command, "close") == 0) {
        return Close(display, window);
    }
    if (std::strcmp(command, "destroy") == 0) {
        XDestroyWindow(display, window);
        XSync(display, False);
        return 0;
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "cannot open display\n");
        return 1;
    }
    const int status = RunCommand(display, argc, argv);
    XCloseDisplay(display);
    return status;
}
