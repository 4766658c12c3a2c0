#include "host/run_saver.h"

#include "host/host_window_proc.h"
#include "host/password_module.h"

namespace {

constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
constexpr DWORD kPreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int kSaverIconId = 100;

struct WindowPlacement {
    const char* title = nullptr;
    DWORD style = 0;
    DWORD extendedStyle = 0;
    RECT area = {};  // left, top, width, height
};

WNDCLASSA SaverClass() {
    WNDCLASSA saverClass = {};
    saverClass.style = kClassStyle;
    saverClass.lpfnWndProc = HostWindowProc;
    saverClass.hInstance = gSaverState.appInstance;
    saverClass.hIcon = LoadIconA(gSaverState.appInstance, MAKEINTRESOURCEA(kSaverIconId));
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = kSaverClassName;
    return saverClass;
}

WindowPlacement PreviewPlacement(HWND parent) {
    RECT client = {};
    GetClientRect(parent, &client);
    gSaverState.isPreview = 1;
    return WindowPlacement{kPreviewTitle, kPreviewStyle, 0,
                           RECT{0, 0, client.right, client.bottom}};
}

RECT VirtualScreen() {
    RECT area = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (area.right == 0 || area.bottom == 0) {
        // Systems without multiple-monitor metrics report 0: use the screen itself.
        HDC screen = GetDC(nullptr);
        RECT clip = {};
        GetClipBox(screen, &clip);
        ReleaseDC(nullptr, screen);
        area = RECT{clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top};
    }
    return area;
}

bool ActivateRunningSaver() {
    HWND running = FindWindowA(kSaverClassName, kFullScreenTitle);
    if (running == nullptr || !IsWindow(running)) {
        return false;
    }
    SetForegroundWindow(running);
    return true;
}

BYTE CurrentAcLineStatus() {
    SYSTEM_POWER_STATUS status = {};
    return GetSystemPowerStatus(&status) ? status.ACLineStatus : kUnknownAcLineStatus;
}

int RunMessageLoop() {
    MSG message = {};
    int exitCode = 0;
    // GetMessageA reports -1 on failure; looping on it would spin for ever.
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (message.message == WM_QUIT) {
        exitCode = static_cast<int>(message.wParam);
    }
    return exitCode;
}

}  // namespace

int RunSaver(HWND parent) {
    const WNDCLASSA saverClass = SaverClass();
    WindowPlacement placement;
    if (parent != nullptr) {
        placement = PreviewPlacement(parent);
    } else {
        placement =
            WindowPlacement{kFullScreenTitle, kFullScreenStyle, WS_EX_TOPMOST, VirtualScreen()};
        if (ActivateRunningSaver()) {
            return 0;
        }
        gSaverState.lastAcLineStatus = CurrentAcLineStatus();
        LoadPasswordModule();
    }
    gSaverState.autoPlayMessage =
        gSaverState.onWin9x ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    if (RegisterClassA(&saverClass)) {
        gSaverState.mainWindow = CreateWindowExA(
            placement.extendedStyle, kSaverClassName, placement.title, placement.style,
            placement.area.left, placement.area.top, placement.area.right, placement.area.bottom,
            parent, nullptr, gSaverState.appInstance, nullptr);
    }
    int exitCode = 0;
    if (gSaverState.mainWindow != nullptr) {
        if (parent == nullptr) {
            SetForegroundWindow(gSaverState.mainWindow);
        }
        exitCode = RunMessageLoop();
    }
    UnloadPasswordModule();
    return exitCode;
}
