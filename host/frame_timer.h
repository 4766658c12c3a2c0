#pragma once

#include "host/saver_state.h"

// Presents a finished frame: target is the window's device context.
void PresentBySwapBuffers(void* target);

// The frame timer's callback: renders one frame into the window.
VOID CALLBACK OnFrameTimer(HWND window, UINT message, UINT_PTR timerId, DWORD time);
