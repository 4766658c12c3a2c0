#pragma once

// Runs body(context) and returns its result. If an exception escapes it, the
// system's unhandled-exception filter decides; when it hands the exception back,
// the saver-running flag is cleared and the process ends with exit code -1.
int RunGuarded(int (*body)(void* context), void* context);
