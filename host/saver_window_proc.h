#pragma once

#include "host/saver_state.h"

// Hands the saver window to the animation: GL context, view, field and frame
// timer on WM_CREATE, all undone on WM_DESTROY; the rest goes to DefaultSaverProc.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
