#include "tests/windows/chain_test_support.h"

#include "host/host_window_proc.h"

std::vector<RecordedMessage> gRecorded;

namespace {

constexpr char kChainClass[] = "OrrelinChainTestClass";
constexpr char kParentClass[] = "OrrelinRecordingParent";

void RegisterChainClass() {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSA windowClass = {};
    // The saver's own class styles: the GL binding needs the own device context.
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kChainClass;
    registered = RegisterClassA(&windowClass) != 0;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
        case WM_CONTEXTMENU:
        case WM_HELP:
            gRecorded.push_back(RecordedMessage{message, wParam, lParam});
            return message == WM_SETCURSOR ? 0 : 1;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

void ResetSaverState() {
    gSaverState = SaverState{};
    gSaverState.appInstance = GetModuleHandleA(nullptr);
}

HWND CreateChainWindow(HWND parent, int width, int height) {
    RegisterChainClass();
    const DWORD style = parent != nullptr
                            ? WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN
                            : WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return CreateWindowExA(0, kChainClass, parent != nullptr ? "Preview" : "Screen Saver", style, 0,
                           0, width, height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void DestroyChainWindow(HWND window) {
    if (IsWindow(window)) {
        DestroyWindow(window);
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

bool TakeQueuedClose(HWND window) {
    MSG message;
    return PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
}

int TakeAllQueuedCloses(HWND window) {
    int count = 0;
    while (TakeQueuedClose(window)) {
        ++count;
    }
    return count;
}

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

HWND CreateRecordingParent(int width, int height) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        windowClass.lpszClassName = kParentClass;
        registered = RegisterClassA(&windowClass) != 0;
    }
    gRecorded.clear();
    return CreateWindowExA(0, kParentClass, "Parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100,
                           100, width, height, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

int CountRecorded(UINT message) {
    int count = 0;
    for (const RecordedMessage& recorded : gRecorded) {
        if (recorded.message == message) {
            ++count;
        }
    }
    return count;
}
