#include "host/host_window_proc.h"

#include "host/saver_window_proc.h"

namespace {

constexpr WPARAM kNextWindowCommand = 0xF040;  // SC_NEXTWINDOW
constexpr WPARAM kPrevWindowCommand = 0xF050;  // SC_PREVWINDOW
constexpr WPARAM kScreenSaveCommand = 0xF140;  // SC_SCREENSAVE

LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SaverWindowProc(window, message, wParam, lParam);
}

void HidePointerInFullScreen() {
    if (!gSaverState.isPreview) {
        SetCursor(nullptr);
    }
}

// The input method stays detached while the saver runs, so key presses reach
// the close policy instead of a composition window. IMM32 is never loaded
// here: only a process that already has it needs the detaching.
void DetachInputMethod(HWND window) {
    gSaverState.imeModule = GetModuleHandleA("IMM32.DLL");
    if (gSaverState.imeModule == nullptr) {
        return;
    }
    gSaverState.imeAssociateContext = reinterpret_cast<ImeAssociateContextFunction>(
        reinterpret_cast<void*>(GetProcAddress(gSaverState.imeModule, "ImmAssociateContext")));
    if (gSaverState.imeAssociateContext != nullptr) {
        gSaverState.savedImeContext = gSaverState.imeAssociateContext(window, nullptr);
    }
}

void RestoreInputMethod(HWND window) {
    if (gSaverState.imeModule != nullptr && gSaverState.imeAssociateContext != nullptr &&
        gSaverState.savedImeContext != nullptr) {
        gSaverState.imeAssociateContext(window, gSaverState.savedImeContext);
    }
}

LRESULT OnCreate(HWND window, WPARAM wParam, LPARAM lParam) {
    DetachInputMethod(window);
    POINT p = {};
    GetCursorPos(&p);
    gSaverState.mouseAnchor = ScreenPoint{p.x, p.y};
    HidePointerInFullScreen();
    return PassOn(window, WM_CREATE, wParam, lParam);
}

LRESULT OnDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
    RestoreInputMethod(window);
    PostQuitMessage(0);
    return PassOn(window, WM_DESTROY, wParam, lParam);
}

LRESULT OnPaint(HWND window, WPARAM wParam, LPARAM lParam) {
    if (gSaverState.closing) {
        return DefWindowProcA(window, WM_PAINT, wParam, lParam);
    }
    HidePointerInFullScreen();
    return PassOn(window, WM_PAINT, wParam, lParam);
}

// The preview sits inside the display settings; their help belongs to them.
LRESULT OnHelpRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!gSaverState.isPreview) {
        return PassOn(window, message, wParam, lParam);
    }
    HWND parent = GetParent(window);
    if (parent != nullptr && IsWindow(parent)) {
        PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
    }
    return 1;
}

LRESULT OnInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (gSaverState.closing) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return PassOn(window, message, wParam, lParam);
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!gSaverState.isPreview && (wParam == kNextWindowCommand || wParam == kPrevWindowCommand ||
                                   wParam == kScreenSaveCommand)) {
        return 0;
    }
    return PassOn(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT OnTimer(HWND window, WPARAM wParam, LPARAM lParam) {
    if (gSaverState.closing) {
        return 0;
    }
    Sleep(0);
    return PassOn(window, WM_TIMER, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(window, wParam, lParam);
        case WM_DESTROY:
            return OnDestroy(window, wParam, lParam);
        case WM_SETTEXT:
            return 0;
        case WM_PAINT:
            return OnPaint(window, wParam, lParam);
        case WM_HELP:
        case WM_CONTEXTMENU:
            return OnHelpRequest(window, message, wParam, lParam);
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            return OnInput(window, message, wParam, lParam);
        case WM_SYSCOMMAND:
            return OnSysCommand(window, wParam, lParam);
        case WM_TIMER:
            return OnTimer(window, wParam, lParam);
        default:
            return PassOn(window, message, wParam, lParam);
    }
}
