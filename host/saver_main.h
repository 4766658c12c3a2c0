#pragma once

#include <cstdint>

#include "host/saver_state.h"

// A handle value from the command line as a window handle. Handles are 32-bit
// values on every Windows; 64-bit code sign-extends them.
HWND WindowFromHandleValue(uint32_t value);

// Records the instance and the platform family, then dispatches on the option
// in text; returns the exit code.
int SaverMain(HINSTANCE instance, const char* text);

// The process entry: reads GetCommandLineA, skips the program name and ends
// the process with SaverMain's result.
[[noreturn]] void SaverEntry();
