// A stand-in for the system's PASSWORD.CPL: "VerifyScreenSavePwd" logs each
// call and refuses until the call numbered ORRELIN_PASSWORD_ACCEPT_FROM
// (default 2), so the saver's gate can be watched refusing and then letting
// the close through.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

int gCalls = 0;

int AcceptFrom() {
    char text[32] = {};
    if (GetEnvironmentVariableA("ORRELIN_PASSWORD_ACCEPT_FROM", text, sizeof text) == 0) {
        return 2;
    }
    return atoi(text);
}

void Log(HWND window, int call, BOOL accepted) {
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("ORRELIN_PASSWORD_LOG", path, sizeof path) == 0) {
        return;
    }
    FILE* file = fopen(path, "a");
    if (file == nullptr) {
        return;
    }
    fprintf(file, "verify call=%d window=%llu accepted=%d tick=%lu\n", call,
            static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), accepted ? 1 : 0,
            static_cast<unsigned long>(GetTickCount()));
    fclose(file);
}

}  // namespace

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    const int call = ++gCalls;
    // A real password dialog runs its own message loop while it is open, which
    // dispatches the saver's queued messages; do the same for a short while.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 20) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
    const BOOL accepted = call >= AcceptFrom();
    Log(window, call, accepted);
    return accepted;
}
