#pragma once

#include "host/saver_state.h"

// The procedure of the saver's window class: the host's own housekeeping
// (input method, pointer, quitting, preview help, refused commands); the rest
// goes down the chain to SaverWindowProc.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
