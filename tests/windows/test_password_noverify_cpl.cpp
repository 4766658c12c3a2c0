// A PASSWORD.CPL without "VerifyScreenSavePwd": the saver must unload it and
// stay unprotected.

#include <windows.h>

extern "C" LONG WINAPI CPlApplet(HWND, UINT, LPARAM, LPARAM) {
    return 0;
}
