#include "host/config_dialog.h"

INT_PTR ShowConfigDialog(HWND owner) {
    if (!RegisterConfigClasses(gSaverState.appInstance)) {
        return 0;
    }
    return DialogBoxParamA(gSaverState.appInstance, MAKEINTRESOURCEA(kConfigDialogId), owner,
                           ConfigDialogProc, 0);
}

// The dialog uses only the system's own controls.
BOOL RegisterConfigClasses(HINSTANCE) {
    return 1;
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return 1;
        case WM_COMMAND: {
            const WORD command = LOWORD(wParam);
            if (command == IDOK || command == IDCANCEL) {
                EndDialog(dialog, command == IDOK ? 1 : 0);
                return 1;
            }
            return 0;
        }
        default:
            return 0;
    }
}
