#pragma once

#include "host/saver_state.h"

inline constexpr char kSaverClassName[] = "WindowsScreenSaverClass";
inline constexpr char kFullScreenTitle[] = "Screen Saver";
inline constexpr char kPreviewTitle[] = "Preview";

// Creates the saver window (a preview child of parent, or full screen when
// parent is null) and runs the message loop until it is destroyed; returns
// the exit code.
int RunSaver(HWND parent);
