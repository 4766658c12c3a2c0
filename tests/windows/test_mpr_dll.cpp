// A stand-in for the system's MPR.DLL: "PwdChangePasswordA" logs its arguments
// to the file named by ORRELIN_MPR_LOG instead of showing a dialog.

#include <windows.h>

#include <cstdio>

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD reserved1,
                                           DWORD reserved2) {
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("ORRELIN_MPR_LOG", path, sizeof path) != 0) {
        FILE* file = fopen(path, "a");
        if (file != nullptr) {
            fprintf(file, "provider=%s owner=%llu reserved1=%lu reserved2=%lu\n",
                    provider != nullptr ? provider : "(null)",
                    static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(owner)),
                    static_cast<unsigned long>(reserved1), static_cast<unsigned long>(reserved2));
            fclose(file);
        }
    }
    return 0;
}
