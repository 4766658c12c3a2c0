#pragma once

#include "host/saver_state.h"

inline constexpr int kConfigDialogId = 2003;

// The About box shown for the settings request; returns the dialog result:
// 1 after OK, 0 after Cancel, -1 when the dialog cannot be created.
INT_PTR ShowConfigDialog(HWND owner);
BOOL RegisterConfigClasses(HINSTANCE instance);
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
