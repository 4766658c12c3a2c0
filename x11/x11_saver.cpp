#include "x11/x11_saver.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/close_policy.h"
#include "render/gl.h"
#include "render/renderer.h"
#include "sim/scene.h"
#include "x11/frame_clock.h"
#include "x11/glx_surface.h"

namespace {

inline constexpr int kDefaultWindowWidth = 800;
inline constexpr int kDefaultWindowHeight = 600;
// Another client may hold a grab for a moment (a menu closing as the saver
// starts); the full-screen saver keeps trying for about half a second.
inline constexpr int kGrabAttempts = 50;

// Everything the X front end holds while it runs; one per process.
struct X11Saver {
    Display* display = nullptr;
    RunMode mode = RunMode::Window;
    Window window = None;  // where GL draws
    bool ownsWindow = false;
    Window watched = None;  // a foreign window whose destruction ends the run
    Colormap colormap = None;
    Cursor blankCursor = None;
    Atom wmDeleteWindow = None;
    GlxSurface surface;
    bool sceneLive = false;
    ScreenPoint mouseAnchor;
    bool hadFocus = false;
    bool keyboardGrabbed = false;
    bool pointerGrabbed = false;
    int grabAttemptsLeft = kGrabAttempts;
    bool running = false;
    bool quit = false;
};

X11Saver gX11;

// X errors arrive through a callback; the default one ends the process, which a
// bad window id from the command line must not do.
struct XErrorRecord {
    int count = 0;
    unsigned char errorCode = 0;
    bool reported = false;
};

XErrorRecord gXError;

int gSignalPipe[2] = {-1, -1};

int RecordXError(Display* display, XErrorEvent* event) {
    ++gXError.count;
    gXError.errorCode = event->error_code;
    if (gX11.running && !gXError.reported) {
        char text[256];
        XGetErrorText(display, event->error_code, text, sizeof text);
        std::fprintf(stderr, "orrelin: X error: %s (request %d)\n", text, event->request_code);
        gXError.reported = true;
    }
    return 0;
}

void OnStopSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing more to do.
    [[maybe_unused]] ssize_t written = write(gSignalPipe[1], &byte, 1);
    errno = savedErrno;
}

bool InstallStopSignals() {
    if (pipe2(gSignalPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

int64_t MonotonicMs() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

std::string HexId(unsigned long id) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", id);
    return text;
}

void Report(const std::string& message) {
    std::fprintf(stderr, "orrelin: %s\n", message.c_str());
}

Cursor CreateBlankCursor(Display* display, Window window) {
    static const char kNoBits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(display, window, kNoBits, 1, 1);
    XColor black = {};
    Cursor cursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return cursor;
}

void SetTitle(Display* display, Window window) {
    static const char kTitle[] = "Orrelin";
    XStoreName(display, window, kTitle);
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, netWmName, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(kTitle), sizeof kTitle - 1);
    XClassHint classHint = {};
    char name[] = "orrelin";
    char className[] = "Orrelin";
    classHint.res_name = name;
    classHint.res_class = className;
    XSetClassHint(display, window, &classHint);
}

// Creates a window of the saver's visual. Full screen it covers the screen,
// bypasses the window manager, hides the pointer and hears every input;
// otherwise it is an ordinary top-level window, or a child filling `parent`.
Window CreateSaverWindow(XVisualInfo* visual, Window parent, int width, int height) {
    Display* display = gX11.display;
    gX11.colormap = XCreateColormap(display, parent, visual->visual, AllocNone);
    XSetWindowAttributes attributes = {};
    unsigned long mask = CWColormap | CWBorderPixel | CWBackPixel | CWEventMask;
    attributes.colormap = gX11.colormap;
    attributes.border_pixel = 0;
    attributes.background_pixel = 0;
    switch (gX11.mode) {
        case RunMode::FullScreen:
            attributes.override_redirect = True;
            attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask |
                                    FocusChangeMask | StructureNotifyMask;
            mask |= CWOverrideRedirect;
            break;
        case RunMode::Window:
            attributes.event_mask = KeyPressMask | StructureNotifyMask;
            break;
        default:
            attributes.event_mask = StructureNotifyMask;
            break;
    }
    Window window = XCreateWindow(display, parent, 0, 0, width, height, 0, visual->depth,
                                  InputOutput, visual->visual, mask, &attributes);
    gX11.ownsWindow = true;
    if (gX11.mode == RunMode::FullScreen) {
        gX11.blankCursor = CreateBlankCursor(display, window);
        XDefineCursor(display, window, gX11.blankCursor);
    }
    if (gX11.mode == RunMode::Window || gX11.mode == RunMode::FullScreen) {
        SetTitle(display, window);
    }
    if (gX11.mode == RunMode::Window) {
        gX11.wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window, &gX11.wmDeleteWindow, 1);
    }
    return window;
}

// Finds where to draw in a window another program made: the window itself when
// its visual suits double-buffered GL, else a child of the saver's visual
// covering it. Returns an error message, empty on success.
std::string AttachToWindow(Window target, int& width, int& height) {
    Display* display = gX11.display;
    XSync(display, False);
    gXError.count = 0;
    XWindowAttributes attributes = {};
    if (!XGetWindowAttributes(display, target, &attributes) || gXError.count != 0) {
        return "no window " + HexId(target) + " on display " + DisplayString(display);
    }
    // Hear of the window's destruction; its owner decides when the saver ends.
    XSelectInput(display, target, StructureNotifyMask);
    XSync(display, False);
    if (gXError.count != 0) {
        return "cannot watch window " + HexId(target);
    }
    gX11.watched = target;
    width = attributes.width;
    height = attributes.height;

    XVisualInfo* visual = VisualOfWindow(display, attributes);
    if (visual != nullptr && VisualSuitsSaver(display, visual)) {
        gX11.window = target;
    } else {
        if (visual != nullptr) {
            XFree(visual);
        }
        visual = ChooseSaverVisual(display, XScreenNumberOfScreen(attributes.screen));
        if (visual == nullptr) {
            return "window " + HexId(target) +
                   " cannot show double-buffered OpenGL and the display offers no visual that can";
        }
        gX11.window = CreateSaverWindow(visual, target, width, height);
        XMapWindow(display, gX11.window);
    }
    const bool created = CreateGlContext(gX11.surface, display, gX11.window, visual);
    XFree(visual);
    return created ? std::string() : "cannot create an OpenGL context for window " + HexId(target);
}

std::string CreateOwnWindow(int& width, int& height) {
    Display* display = gX11.display;
    const int screen = DefaultScreen(display);
    XVisualInfo* visual = ChooseSaverVisual(display, screen);
    if (visual == nullptr) {
        return "the display offers no double-buffered RGB OpenGL visual";
    }
    if (gX11.mode == RunMode::FullScreen) {
        width = DisplayWidth(display, screen);
        height = DisplayHeight(display, screen);
    } else {
        width = kDefaultWindowWidth;
        height = kDefaultWindowHeight;
    }
    gX11.window = CreateSaverWindow(visual, RootWindow(display, screen), width, height);
    // The drawing area is whatever the server made; it is read once, here.
    XWindowAttributes attributes = {};
    XGetWindowAttributes(display, gX11.window, &attributes);
    width = attributes.width;
    height = attributes.height;
    const bool created = CreateGlContext(gX11.surface, display, gX11.window, visual);
    XFree(visual);
    if (!created) {
        return "cannot create an OpenGL context";
    }
    if (gX11.mode == RunMode::FullScreen) {
        Window root = None;
        Window child = None;
        int rootX = 0;
        int rootY = 0;
        int windowX = 0;
        int windowY = 0;
        unsigned int buttons = 0;
        XQueryPointer(display, gX11.window, &root, &child, &rootX, &rootY, &windowX, &windowY,
                      &buttons);
        gX11.mouseAnchor = ScreenPoint{rootX, rootY};
    }
    XMapRaised(display, gX11.window);
    return {};
}

void TryGrabInput() {
    Display* display = gX11.display;
    if (gX11.grabAttemptsLeft <= 0) {
        return;
    }
    --gX11.grabAttemptsLeft;
    if (!gX11.keyboardGrabbed) {
        gX11.keyboardGrabbed = XGrabKeyboard(display, gX11.window, True, GrabModeAsync,
                                             GrabModeAsync, CurrentTime) == GrabSuccess;
    }
    if (!gX11.pointerGrabbed) {
        gX11.pointerGrabbed =
            XGrabPointer(display, gX11.window, True,
                         ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                         GrabModeAsync, None, gX11.blankCursor, CurrentTime) == GrabSuccess;
    }
}

bool FocusLeftSaver(const XFocusChangeEvent& event) {
    // Focus moving inside the window, or the pseudo-changes of a grab starting
    // or ending, are not the user turning to something else.
    return event.mode != NotifyGrab && event.mode != NotifyUngrab &&
           event.detail != NotifyInferior && event.detail != NotifyPointer;
}

void HandleFullScreenEvent(const XEvent& event) {
    switch (event.type) {
        case MapNotify:
            TryGrabInput();
            XSetInputFocus(gX11.display, gX11.window, RevertToParent, CurrentTime);
            break;
        case KeyPress:
        case ButtonPress:
            gX11.quit = true;
            break;
        case MotionNotify:
            if (PointerMoveCloses(gX11.mouseAnchor,
                                  ScreenPoint{event.xmotion.x_root, event.xmotion.y_root})) {
                gX11.quit = true;
            }
            break;
        case FocusIn:
            if (event.xfocus.detail != NotifyPointer) {
                gX11.hadFocus = true;
            }
            break;
        case FocusOut:
            if (gX11.hadFocus && FocusLeftSaver(event.xfocus)) {
                gX11.quit = true;
            }
            break;
        default:
            break;
    }
}

void HandleEvent(const XEvent& event) {
    if (event.type == DestroyNotify) {
        if (event.xdestroywindow.window == gX11.window ||
            event.xdestroywindow.window == gX11.watched) {
            // The window is gone; nothing is left to draw into.
            gX11.window = None;
            gX11.ownsWindow = false;
            gX11.surface.window = None;
            gX11.quit = true;
        }
        return;
    }
    switch (gX11.mode) {
        case RunMode::FullScreen:
            HandleFullScreenEvent(event);
            break;
        case RunMode::Window:
            if (event.type == KeyPress) {
                XKeyEvent key = event.xkey;
                const KeySym symbol = XLookupKeysym(&key, 0);
                if (symbol == XK_q || symbol == XK_Escape) {
                    gX11.quit = true;
                }
            } else if (event.type == ClientMessage &&
                       static_cast<Atom>(event.xclient.data.l[0]) == gX11.wmDeleteWindow) {
                gX11.quit = true;
            }
            break;
        default:
            // Root and window-id modes leave input to the window's owner.
            break;
    }
}

void RunFrameLoop() {
    Display* display = gX11.display;
    pollfd waits[2] = {{ConnectionNumber(display), POLLIN, 0}, {gSignalPipe[0], POLLIN, 0}};
    int64_t deadline = MonotonicMs() + kFrameIntervalMs;
    gX11.running = true;
    while (!gX11.quit) {
        while (!gX11.quit && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            HandleEvent(event);
        }
        if (gX11.quit) {
            break;
        }
        if (poll(waits, 2, TickWaitMs(deadline, MonotonicMs())) > 0 &&
            (waits[1].revents & POLLIN) != 0) {
            break;
        }
        if (MonotonicMs() >= deadline) {
            if (gX11.mode == RunMode::FullScreen &&
                !(gX11.keyboardGrabbed && gX11.pointerGrabbed)) {
                TryGrabInput();
            }
            RenderFrame(PresentGlx, &gX11.surface);
            deadline = NextTickDeadline(deadline, MonotonicMs());
        }
    }
    gX11.running = false;
}

void ShutDown() {
    Display* display = gX11.display;
    if (gX11.sceneLive) {
        FreeScene();
        gX11.sceneLive = false;
    }
    ReleaseGlContext(gX11.surface);
    if (display != nullptr) {
        if (gX11.keyboardGrabbed) {
            XUngrabKeyboard(display, CurrentTime);
        }
        if (gX11.pointerGrabbed) {
            XUngrabPointer(display, CurrentTime);
        }
        if (gX11.ownsWindow && gX11.window != None) {
            XDestroyWindow(display, gX11.window);
        }
        if (gX11.blankCursor != None) {
            XFreeCursor(display, gX11.blankCursor);
        }
        if (gX11.colormap != None) {
            XFreeColormap(display, gX11.colormap);
        }
        XCloseDisplay(display);
    }
    gX11 = X11Saver();
    for (int& end : gSignalPipe) {
        if (end >= 0) {
            close(end);
            end = -1;
        }
    }
}

std::string OpenDisplay() {
    gX11.display = XOpenDisplay(nullptr);
    if (gX11.display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        if (name == nullptr || *name == '\0') {
            return "cannot open the X display: DISPLAY is not set";
        }
        return std::string("cannot open the X display '") + name + "'";
    }
    XSetErrorHandler(RecordXError);
    int errorBase = 0;
    int eventBase = 0;
    if (!glXQueryExtension(gX11.display, &errorBase, &eventBase)) {
        return std::string("the X display '") + DisplayString(gX11.display) +
               "' has no OpenGL (GLX) support";
    }
    return {};
}

std::string Start(const RunRequest& request) {
    if (!InstallStopSignals()) {
        return "cannot set up signal handling";
    }
    std::string error = OpenDisplay();
    if (!error.empty()) {
        return error;
    }
    int width = 0;
    int height = 0;
    switch (request.mode) {
        case RunMode::Root: {
            Window target = RootWindow(gX11.display, DefaultScreen(gX11.display));
            // XScreenSaver names the window it made for the saver here.
            const char* named = std::getenv("XSCREENSAVER_WINDOW");
            if (named != nullptr && *named != '\0') {
                unsigned long id = 0;
                if (!ParseWindowId(named, id)) {
                    return std::string("XSCREENSAVER_WINDOW is not a window id: '") + named + "'";
                }
                target = id;
            }
            error = AttachToWindow(target, width, height);
            break;
        }
        case RunMode::WindowId:
            error = AttachToWindow(request.windowId, width, height);
            break;
        default:
            error = CreateOwnWindow(width, height);
            break;
    }
    if (!error.empty()) {
        return error;
    }
    StartAnimation(width, height);
    gX11.sceneLive = true;
    return {};
}

}  // namespace

int RunX11Saver(const RunRequest& request) {
    gX11.mode = request.mode;
    const std::string error = Start(request);
    if (!error.empty()) {
        Report(error);
        ShutDown();
        return 1;
    }
    RunFrameLoop();
    ShutDown();
    return 0;
}
