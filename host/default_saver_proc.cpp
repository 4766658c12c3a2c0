#include "host/default_saver_proc.h"

namespace {

// Automatic resume and the resume notices carry this bit when the system woke
// without the user.
constexpr LPARAM kResumeWithoutUser = 1;

void PostClose(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
}

void HidePointer() {
    SetCursor(nullptr);
}

ScreenPoint PointerPosition() {
    POINT p = {};
    GetCursorPos(&p);
    return ScreenPoint{p.x, p.y};
}

BYTE ReadAcLineStatus() {
    SYSTEM_POWER_STATUS status = {};
    return GetSystemPowerStatus(&status) ? status.ACLineStatus : kUnknownAcLineStatus;
}

void OnPowerBroadcast(HWND window, WPARAM event, LPARAM data) {
    switch (event) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
            PostClose(window);
            break;
        case 6:
        case 7:
        case 8:
        case 18:
            if ((data & kResumeWithoutUser) == 0) {
                PostClose(window);
            }
            break;
        case 10: {
            const BYTE status = ReadAcLineStatus();
            if (status != gSaverState.lastAcLineStatus) {
                PostClose(window);
            }
            gSaverState.lastAcLineStatus = status;
            break;
        }
        default:
            PostClose(window);
            break;
    }
}

void OnMouseMove(HWND window) {
    if (PointerMoveCloses(gSaverState.mouseAnchor, PointerPosition())) {
        PostClose(window);
    }
}

// The full-screen input rules. Returns true when the message is answered here
// with *result; false lets it go on to the final step.
bool ApplyInputRules(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            PostClose(window);
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(window);
            break;
        case WM_ACTIVATEAPP:
            if (wParam == 0) {
                PostClose(window);
            }
            break;
        case WM_SHOWWINDOW:
            if (wParam != 0) {
                HidePointer();
            }
            break;
        case WM_SETCURSOR:
            HidePointer();
            *result = 1;
            return true;
        case WM_POWER:
            if (wParam == PWR_CRITICALRESUME) {
                PostClose(window);
            }
            break;
        case WM_POWERBROADCAST:
            OnPowerBroadcast(window, wParam, lParam);
            break;
        default:
            break;
    }
    return false;
}

// The close and password messages of the Windows 95 family.
bool AnswerPasswordMessages(HWND window, UINT message, LRESULT* result) {
    if (!gSaverState.onWin9x) {
        return false;
    }
    if (message == WM_CLOSE) {
        if (VerifyBeforeClose(window)) {
            return false;
        }
        POINT p = {};
        GetCursorPos(&p);
        gSaverState.mouseAnchor = ScreenPoint{p.x, p.y};
        *result = 0;
        return true;
    }
    if (message == kVerifyPasswordMessage) {
        *result = gSaverState.verifyPassword != nullptr ? gSaverState.verifyPassword(window) : 1;
        return true;
    }
    return false;
}

LRESULT FinalStep(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (gSaverState.autoPlayMessage != 0 && message == gSaverState.autoPlayMessage) {
        PostClose(window);
        return gSaverState.verifyPassword != nullptr ? 1 : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!gSaverState.isPreview && !gSaverState.closing) {
        LRESULT result = 0;
        if (AnswerPasswordMessages(window, message, &result)) {
            return result;
        }
        if (!gSaverState.checkingPassword &&
            ApplyInputRules(window, message, wParam, lParam, &result)) {
            return result;
        }
    }
    return FinalStep(window, message, wParam, lParam);
}

BOOL VerifyBeforeClose(HWND window) {
    if (gSaverState.checkingPassword || gSaverState.closing) {
        return 0;
    }
    if (gSaverState.verifyPassword == nullptr) {
        gSaverState.closing = 1;
        return 1;
    }
    const DWORD now = GetTickCount();
    if (gSaverState.lastPasswordCheck != kNeverChecked &&
        now - gSaverState.lastPasswordCheck < kPasswordRetryMs) {
        return 0;
    }
    gSaverState.checkingPassword = 1;
    // Frames queued while the prompt opens would only be drawn after it closes.
    MSG pending;
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    gSaverState.closing = SendMessageA(window, kVerifyPasswordMessage, 0, 0) != 0 ? 1 : 0;
    gSaverState.checkingPassword = 0;
    if (!gSaverState.closing) {
        HidePointer();
    }
    gSaverState.lastPasswordCheck = GetTickCount();
    return gSaverState.closing;
}
