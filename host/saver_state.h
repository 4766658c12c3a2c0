#pragma once

// The host's process-wide record: everything the window procedures, the
// message loop, the password functions and start-up share on the one GUI thread.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h: the input-method types.
#include <imm.h>

#include "host/close_policy.h"

// "VerifyScreenSavePwd" of PASSWORD.CPL: nonzero lets the saver close.
using VerifyPasswordFunction = BOOL(WINAPI*)(HWND window);
// "ImmAssociateContext" of IMM32.DLL: returns the previous input context.
using ImeAssociateContextFunction = HIMC(WINAPI*)(HWND window, HIMC context);

// Asks the window-procedure chain to run the password check.
inline constexpr UINT kVerifyPasswordMessage = WM_APP;
// Least time between two password prompts.
inline constexpr DWORD kPasswordRetryMs = 200;
// lastPasswordCheck before the first prompt.
inline constexpr DWORD kNeverChecked = 0xFFFFFFFF;
// lastAcLineStatus when the status cannot be read.
inline constexpr BYTE kUnknownAcLineStatus = 0xFF;

struct SaverState {
    HINSTANCE appInstance = nullptr;
    HWND mainWindow = nullptr;
    int isPreview = 0;
    int closing = 0;
    int checkingPassword = 0;
    // The platform is of the Windows 95 family.
    int onWin9x = 0;
    HMODULE passwordModule = nullptr;
    VerifyPasswordFunction verifyPassword = nullptr;
    UINT autoPlayMessage = 0;
    ScreenPoint mouseAnchor;
    BYTE lastAcLineStatus = kUnknownAcLineStatus;
    DWORD lastPasswordCheck = kNeverChecked;
    HMODULE imeModule = nullptr;
    ImeAssociateContextFunction imeAssociateContext = nullptr;
    HIMC savedImeContext = nullptr;
};

// One per process; a fresh SaverState{} is the state at process start.
extern SaverState gSaverState;
