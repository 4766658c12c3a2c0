#pragma once

#include "host/saver_state.h"

// "PwdChangePasswordA" of MPR.DLL.
using ChangePasswordFunction = DWORD(WINAPI*)(LPCSTR provider, HWND owner, DWORD reserved1,
                                              DWORD reserved2);

// Windows 95 family only: loads the system's password check when the user has
// switched saver passwords on.
void LoadPasswordModule();
void UnloadPasswordModule();
// Windows 95 family only: tells the system whether a saver is running.
void SetSaverRunning(int flag);
// Runs the system's password-change dialog for the saver password.
void ChangePassword(HWND owner);
