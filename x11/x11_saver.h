#pragma once

#include "x11/options.h"

// Runs the saver on the X display named by DISPLAY in one of the window modes
// (window, full screen, root, window id) and returns the exit status: 0 after
// a normal end, 1 when the display, the window or OpenGL cannot be had.
int RunX11Saver(const RunRequest& request);
