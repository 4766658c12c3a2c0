// Runs a body inside the saver's exception guard in a process of its own:
//   guard_probe raise|null-write|return
// The first two crash inside the guard; the last returns 7 from the body.
// Before the body the saver-running flag is set, as a protected saver would
// have it, so the test can see the guard clear it.

#include <windows.h>

#include <cstring>

#include "host/exception_guard.h"
#include "host/saver_state.h"

namespace {

int Raise(void*) {
    RaiseException(0xE0475241, 0, 0, nullptr);
    return 1;
}

int WriteThroughNull(void* context) {
    // volatile: the store must really happen.
    *static_cast<volatile int*>(context) = 1;
    return 2;
}

int ReturnSeven(void*) {
    return 7;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
    gSaverState.onWin9x = 1;
    UINT previous = 0;
    SystemParametersInfoA(97, 1, &previous, 0);
    if (strcmp(argv[1], "raise") == 0) {
        return RunGuarded(Raise, nullptr);
    }
    if (strcmp(argv[1], "null-write") == 0) {
        return RunGuarded(WriteThroughNull, nullptr);
    }
    return RunGuarded(ReturnSeven, nullptr);
}
