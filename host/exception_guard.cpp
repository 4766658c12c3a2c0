#include "host/exception_guard.h"

#include "host/password_module.h"
#include "host/saver_state.h"

// The compiler offers no structured exception handling, so the guard is a
// top-level filter installed for the duration of the body. An exception no
// frame handles reaches it; it then lets the system's own unhandled-exception
// filter decide (error report, debugger). That filter calls the process's
// top-level filter itself, so ours steps aside first and the previous one
// (the run-time library's) is back in place: otherwise it would be entered
// twice. When the system hands the exception back to us, the saver-running
// flag must not outlive the process: clear it and end with -1.

namespace {

LPTOP_LEVEL_EXCEPTION_FILTER gPreviousFilter = nullptr;

LONG WINAPI GuardFilter(EXCEPTION_POINTERS* info) {
    SetUnhandledExceptionFilter(gPreviousFilter);
    const LONG verdict = UnhandledExceptionFilter(info);
    if (verdict == EXCEPTION_EXECUTE_HANDLER) {
        SetSaverRunning(0);
        ExitProcess(static_cast<UINT>(-1));
    }
    return verdict;
}

}  // namespace

int RunGuarded(int (*body)(void* context), void* context) {
    gPreviousFilter = SetUnhandledExceptionFilter(GuardFilter);
    const int result = body(context);
    SetUnhandledExceptionFilter(gPreviousFilter);
    return result;
}
