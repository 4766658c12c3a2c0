#include "host/saver_main.h"

#include <commctrl.h>

#include "host/command_line.h"
#include "host/config_dialog.h"
#include "host/exception_guard.h"
#include "host/password_module.h"
#include "host/reciprocal_choice.h"
#include "host/run_saver.h"

namespace {

constexpr DWORD kTabControlClasses = 0x8;  // ICC_TAB_CLASSES
constexpr DWORD kWin9xPlatformId = 1;      // VER_PLATFORM_WIN32_WINDOWS

const char* CharNextAdaptor(const char* text) {
    return CharNextA(text);
}

// The given owner when it names a window, else the foreground window.
HWND OwnerOrForeground(uint32_t value) {
    HWND owner = WindowFromHandleValue(value);
    if (owner == nullptr || !IsWindow(owner)) {
        owner = GetForegroundWindow();
    }
    return owner;
}

int Dispatch(void* context) {
    const CommandLineChoice choice = ScanCommandLine(*static_cast<const char**>(context));
    switch (choice.action) {
        case SaverAction::kConfigure:
            if (!choice.configureOption) {
                return static_cast<int>(ShowConfigDialog(nullptr));
            }
            return static_cast<int>(ShowConfigDialog(OwnerOrForeground(choice.handle)));
        case SaverAction::kRunFullScreen:
            return RunSaver(nullptr);
        case SaverAction::kPreview: {
            HWND parent = WindowFromHandleValue(choice.handle);
            if (parent != nullptr && IsWindow(parent)) {
                return RunSaver(parent);
            }
            return -1;
        }
        case SaverAction::kChangePassword:
            if (!gSaverState.onWin9x) {
                return -1;
            }
            ChangePassword(OwnerOrForeground(choice.handle));
            return 0;
        case SaverAction::kInvalid:
        default:
            return -1;
    }
}

bool OnWin9x() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == kWin9xPlatformId;
}

}  // namespace

HWND WindowFromHandleValue(uint32_t value) {
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

int SaverMain(HINSTANCE instance, const char* text) {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = kTabControlClasses;
    InitCommonControlsEx(&controls);
    gSaverState.appInstance = instance;
    gSaverState.onWin9x = OnWin9x() ? 1 : 0;
    ChooseReciprocalPath();
    return RunGuarded(Dispatch, &text);
}

void SaverEntry() {
    const char* text = SkipProgramName(GetCommandLineA(), CharNextAdaptor);
    ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), text)));
}
