#include "host/password_module.h"

namespace {

constexpr UINT kScreenSaverRunningAction = 97;  // SPI_SCREENSAVERRUNNING

template <typename Function>
Function LookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The user's "password protected" setting. The buffer starts zeroed: a value
// shorter than four bytes must not leave stack bytes to be read as "on".
bool PasswordSwitchedOn(HKEY desktop) {
    BYTE value[4] = {0, 0, 0, 0};
    DWORD size = sizeof(value);
    if (RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    return (value[0] | value[1] | value[2] | value[3]) != 0;
}

void LoadVerifyFunction() {
    gSaverState.passwordModule = LoadLibraryA("PASSWORD.CPL");
    if (gSaverState.passwordModule == nullptr) {
        return;
    }
    gSaverState.verifyPassword =
        LookUp<VerifyPasswordFunction>(gSaverState.passwordModule, "VerifyScreenSavePwd");
    if (gSaverState.verifyPassword != nullptr) {
        SetSaverRunning(1);
    } else {
        UnloadPasswordModule();
    }
}

}  // namespace

void LoadPasswordModule() {
    if (!gSaverState.onWin9x) {
        return;
    }
    if (gSaverState.passwordModule != nullptr) {
        UnloadPasswordModule();
    }
    HKEY desktop = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) != ERROR_SUCCESS) {
        return;
    }
    if (PasswordSwitchedOn(desktop)) {
        LoadVerifyFunction();
    }
    RegCloseKey(desktop);
}

void UnloadPasswordModule() {
    if (!gSaverState.onWin9x || gSaverState.passwordModule == nullptr) {
        return;
    }
    FreeLibrary(gSaverState.passwordModule);
    gSaverState.passwordModule = nullptr;
    if (gSaverState.verifyPassword != nullptr) {
        gSaverState.verifyPassword = nullptr;
        SetSaverRunning(0);
    }
}

void SetSaverRunning(int flag) {
    if (!gSaverState.onWin9x) {
        return;
    }
    UINT previous = 0;
    SystemParametersInfoA(kScreenSaverRunningAction, static_cast<UINT>(flag), &previous, 0);
}

void ChangePassword(HWND owner) {
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    if (mpr == nullptr) {
        return;
    }
    const auto change = LookUp<ChangePasswordFunction>(mpr, "PwdChangePasswordA");
    if (change != nullptr) {
        change("SCRSAVE", owner, 0, 0);
    }
    FreeLibrary(mpr);
}
