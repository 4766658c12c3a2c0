#pragma once

#include "host/saver_state.h"

// Last link of the saver window's procedure chain: turns input, activation and
// power events of the full-screen saver into a posted WM_CLOSE, hides the
// pointer and, on the Windows 95 family, holds a close back until the password
// check lets it through. The preview only gets the final step.
LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The password gate: nonzero when the saver may close.
BOOL VerifyBeforeClose(HWND window);
