// Test driver for the saver under Wine. Wine hands only the low 8 bits of an
// exit code to the Unix side, so this program starts the saver itself, reads
// the full code with GetExitCodeProcess and reports it, together with what it
// sees of the saver's windows, as "key=value" lines on standard output.
//
//   driver run TIMEOUT_MS RESULT_FILE COMMAND_LINE
//       Starts COMMAND_LINE, waits for its end and writes "exit=<code>" to
//       standard output and to RESULT_FILE ("exit=timeout" after TIMEOUT_MS,
//       when the program is terminated), and "windows_seen=1" when the
//       program showed a top-level window meanwhile. "%OWNER%" in
//       COMMAND_LINE stands for a window of this driver, made for the purpose.
//   driver saver TIMEOUT_MS
//       Waits for the full-screen saver window to be shown and describes it.
//   driver gone TIMEOUT_MS
//       Waits until no full-screen saver window exists; "gone=1" or "gone=0".
//   driver message NAME|NUMBER WPARAM LPARAM
//       Sends a message (a registered one when given by name) to the
//       full-screen saver window and prints the result.
//   driver preview TIMEOUT_MS SYNC_DIR SAVER [ARGUMENT_PREFIX]
//       Makes a 152 x 112 window, starts "SAVER /p <its handle>", describes the
//       child window, writes SYNC_DIR/ready, waits for SYNC_DIR/go, then checks
//       the context-menu forwarding, destroys the window and reports the exit.
//   driver dialog TIMEOUT_MS SYNC_DIR OWNER_MODE COMMAND_LINE
//       OWNER_MODE none: COMMAND_LINE as given; owned: a window of this driver
//       replaces "%OWNER%" in COMMAND_LINE; foreground: the same window is made
//       the foreground window. Waits for the dialog, describes it and its owner
//       in SYNC_DIR/ready, then reports the exit.
//   driver spi
//       Prints the system's saver-running flag.
//   driver terminate
//       Ends every process that has a full-screen saver window (cleanup after
//       a failed test).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char kSaverClass[] = "WindowsScreenSaverClass";
constexpr char kSaverTitle[] = "Screen Saver";
constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;
constexpr UINT kGetScreenSaverRunning = 114;

std::string WindowClass(HWND window) {
    char text[256] = {};
    GetClassNameA(window, text, sizeof text);
    return text;
}

std::string WindowTitle(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Writes a file in one go, so a reader polling for it never sees half of it.
void WriteFileAtomically(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".part";
    FILE* file = fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return;
    }
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Handles the driver's own messages while waiting.
void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void WaitPumping(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
}

bool StartProcess(const std::string& commandLine, PROCESS_INFORMATION& process) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string mutableLine = commandLine;
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        printf("start_error=%lu\n", GetLastError());
        return false;
    }
    return true;
}

struct ProcessWindows {
    DWORD processId;
    bool seen;
};

BOOL CALLBACK NoteWindowOfProcess(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ProcessWindows*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId) {
        search->seen = true;
        return FALSE;
    }
    return TRUE;
}

// Waits for the process while handling this thread's messages; returns the
// exit line ("exit=<signed code>" or "exit=timeout"). When windowsSeen is
// given, the process's top-level windows are looked for every few
// milliseconds meanwhile.
std::string WaitForExit(PROCESS_INFORMATION& process, DWORD timeoutMs,
                        bool* windowsSeen = nullptr) {
    const DWORD start = GetTickCount();
    ProcessWindows search = {process.dwProcessId, false};
    for (;;) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) {
            TerminateProcess(process.hProcess, 0xDEAD);
            WaitForSingleObject(process.hProcess, 5000);
            return "exit=timeout";
        }
        if (windowsSeen != nullptr && !search.seen) {
            EnumWindows(NoteWindowOfProcess, reinterpret_cast<LPARAM>(&search));
            *windowsSeen = search.seen;
        }
        const DWORD step = windowsSeen != nullptr ? 2 : timeoutMs - waited;
        const DWORD result = MsgWaitForMultipleObjects(
            1, &process.hProcess, FALSE, std::min(step, timeoutMs - waited), QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) {
            break;
        }
        PumpMessages();
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    char line[64];
    snprintf(line, sizeof line, "exit=%ld", static_cast<long>(static_cast<LONG>(code)));
    return line;
}

void CloseProcess(PROCESS_INFORMATION& process) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

std::string HandleText(HWND window) {
    return std::to_string(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
}

std::string DescribeWindow(const char* prefix, HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char text[1024];
    snprintf(text, sizeof text,
             "%s_hwnd=%s\n%s_class=%s\n%s_title=%s\n%s_style=0x%08lX\n%s_exstyle=0x%08lX\n"
             "%s_rect=%ld %ld %ld %ld\n%s_visible=%d\n%s_pid=%lu\n",
             prefix, HandleText(window).c_str(), prefix, WindowClass(window).c_str(), prefix,
             WindowTitle(window).c_str(), prefix,
             static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)), prefix,
             static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)), prefix, rect.left,
             rect.top, rect.right, rect.bottom, prefix, IsWindowVisible(window) ? 1 : 0, prefix,
             static_cast<unsigned long>(processId));
    return text;
}

HWND FindSaver() {
    return FindWindowA(kSaverClass, kSaverTitle);
}

struct SaverSearch {
    int count;
    DWORD processIds[16];
};

BOOL CALLBACK CollectSavers(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<SaverSearch*>(context);
    if (WindowClass(window) == kSaverClass && search->count < 16) {
        GetWindowThreadProcessId(window, &search->processIds[search->count]);
        ++search->count;
    }
    return TRUE;
}

SaverSearch FindAllSavers() {
    SaverSearch search = {};
    EnumWindows(CollectSavers, reinterpret_cast<LPARAM>(&search));
    return search;
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeTopLevelWindow(const char* className, WNDPROC procedure, const char* title, int x, int y,
                        int width, int height);

// Replaces "%OWNER%" by the handle of a new window of this driver.
HWND SubstituteOwner(std::string& commandLine) {
    const size_t at = commandLine.find("%OWNER%");
    if (at == std::string::npos) {
        return nullptr;
    }
    HWND owner = MakeTopLevelWindow("OrrelinDriverOwner", OwnerProc, "Owner", 20, 20, 200, 100);
    commandLine.replace(at, 7, HandleText(owner));
    printf("owner_hwnd=%s\n", HandleText(owner).c_str());
    return owner;
}

int CommandRun(DWORD timeoutMs, const char* resultFile, std::string commandLine) {
    HWND owner = SubstituteOwner(commandLine);
    PROCESS_INFORMATION process = {};
    if (!StartProcess(commandLine, process)) {
        WriteFileAtomically(resultFile, "exit=start_error\n");
        return 1;
    }
    bool windowsSeen = false;
    const std::string line = WaitForExit(process, timeoutMs, &windowsSeen);
    CloseProcess(process);
    if (owner != nullptr) {
        DestroyWindow(owner);
    }
    printf("windows_seen=%d\n%s\n", windowsSeen ? 1 : 0, line.c_str());
    WriteFileAtomically(resultFile, line + "\n");
    return 0;
}

int CommandSaver(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    HWND saver = nullptr;
    // Found during its WM_CREATE the window is not shown yet: wait for that.
    while (((saver = FindSaver()) == nullptr || !IsWindowVisible(saver)) &&
           GetTickCount() - start < timeoutMs) {
        Sleep(20);
    }
    if (saver == nullptr) {
        printf("found=0\n");
        return 1;
    }
    printf("found=1\n%s", DescribeWindow("saver", saver).c_str());
    printf("virtual_screen=%d %d %d %d\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
           GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
           GetSystemMetrics(SM_CYVIRTUALSCREEN));
    const LONG exStyle = GetWindowLongA(saver, GWL_EXSTYLE);
    printf("topmost=%d\n", (exStyle & WS_EX_TOPMOST) != 0 ? 1 : 0);
    printf("saver_count=%d\n", FindAllSavers().count);
    printf("foreground=%d\n", GetForegroundWindow() == saver ? 1 : 0);
    CURSORINFO cursor = {};
    cursor.cbSize = sizeof cursor;
    if (GetCursorInfo(&cursor)) {
        printf("cursor_hidden=%d\n", cursor.hCursor == nullptr ? 1 : 0);
    }
    return 0;
}

int CommandGone(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (FindSaver() != nullptr && GetTickCount() - start < timeoutMs) {
        Sleep(20);
    }
    printf("gone=%d\n", FindSaver() == nullptr ? 1 : 0);
    return 0;
}

int CommandMessage(const char* name, const char* wParam, const char* lParam) {
    HWND saver = FindSaver();
    if (saver == nullptr) {
        printf("found=0\n");
        return 1;
    }
    UINT message = 0;
    if (name[0] >= '0' && name[0] <= '9') {
        message = static_cast<UINT>(strtoul(name, nullptr, 0));
    } else {
        message = RegisterWindowMessageA(name);
    }
    DWORD_PTR result = 0;
    const LRESULT sent = SendMessageTimeoutA(
        saver, message, static_cast<WPARAM>(strtoull(wParam, nullptr, 0)),
        static_cast<LPARAM>(strtoll(lParam, nullptr, 0)), SMTO_NORMAL, 5000, &result);
    printf("message=0x%X\nsent=%d\nresult=%lld\n", message, sent != 0 ? 1 : 0,
           static_cast<long long>(result));
    return 0;
}

// The preview parent: records what the saver forwards to it.
HWND gPreviewParent = nullptr;
int gContextMenus = 0;
int gContextMenusWithParent = 0;

LRESULT CALLBACK PreviewParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU) {
        ++gContextMenus;
        if (reinterpret_cast<HWND>(wParam) == gPreviewParent) {
            ++gContextMenusWithParent;
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeTopLevelWindow(const char* className, WNDPROC procedure, const char* title, int x, int y,
                        int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = className;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);
    // A pop-up without a frame: the client area is the whole window.
    return CreateWindowExA(0, className, title, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                           width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
}

HWND FindChildOf(HWND parent) {
    return FindWindowExA(parent, nullptr, nullptr, nullptr);
}

int CommandPreview(DWORD timeoutMs, const std::string& syncDir, const char* saver,
                   const char* argumentPrefix) {
    gPreviewParent = MakeTopLevelWindow("OrrelinPreviewParent", PreviewParentProc, "Preview parent",
                                        200, 150, kPreviewWidth, kPreviewHeight);
    RECT client = {};
    GetClientRect(gPreviewParent, &client);
    printf("parent_hwnd=%s\nparent_client=%ld %ld\n", HandleText(gPreviewParent).c_str(),
           client.right, client.bottom);
    PumpMessages();

    const std::string commandLine =
        std::string("\"") + saver + "\" " + argumentPrefix + " " + HandleText(gPreviewParent);
    PROCESS_INFORMATION process = {};
    if (!StartProcess(commandLine, process)) {
        return 1;
    }
    const DWORD start = GetTickCount();
    HWND child = nullptr;
    while (((child = FindChildOf(gPreviewParent)) == nullptr || !IsWindowVisible(child)) &&
           GetTickCount() - start < timeoutMs &&
           WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        WaitPumping(20);
    }
    if (child == nullptr) {
        printf("child_found=0\n%s\n", WaitForExit(process, 1000).c_str());
        CloseProcess(process);
        return 1;
    }
    RECT childRect = {};
    GetWindowRect(child, &childRect);
    MapWindowPoints(nullptr, gPreviewParent, reinterpret_cast<POINT*>(&childRect), 2);
    RECT parentRect = {};
    GetWindowRect(gPreviewParent, &parentRect);
    printf("child_found=1\n%s", DescribeWindow("child", child).c_str());
    printf("child_in_parent=%ld %ld %ld %ld\n", childRect.left, childRect.top, childRect.right,
           childRect.bottom);
    printf("child_parent_matches=%d\n", GetParent(child) == gPreviewParent ? 1 : 0);
    fflush(stdout);

    char ready[256];
    snprintf(ready, sizeof ready, "parent_screen=%ld %ld %ld %ld\n", parentRect.left,
             parentRect.top, parentRect.right, parentRect.bottom);
    WriteFileAtomically(syncDir + "\\ready", ready);

    // The test gives the preview real input meanwhile.
    const std::string go = syncDir + "\\go";
    while (!FileExists(go) && GetTickCount() - start < timeoutMs) {
        WaitPumping(20);
    }
    const bool stillRunning = WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
    printf("running_after_input=%d\nchild_alive_after_input=%d\n", stillRunning ? 1 : 0,
           IsWindow(child) ? 1 : 0);

    DWORD_PTR result = 0;
    const LRESULT sent = SendMessageTimeoutA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child),
                                             MAKELPARAM(10, 10), SMTO_NORMAL, 5000, &result);
    // The forwarded message is posted, so it may arrive a little later.
    const DWORD asked = GetTickCount();
    while (gContextMenus == 0 && GetTickCount() - asked < 3000) {
        WaitPumping(20);
    }
    printf(
        "contextmenu_sent=%d\ncontextmenu_result=%lld\nparent_contextmenus=%d\n"
        "parent_contextmenus_with_parent_handle=%d\n",
        sent != 0 ? 1 : 0, static_cast<long long>(result), gContextMenus, gContextMenusWithParent);

    DestroyWindow(gPreviewParent);
    printf("%s\n", WaitForExit(process, timeoutMs).c_str());
    CloseProcess(process);
    return 0;
}

struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindDialogOfProcess(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && WindowClass(window) == "#32770" &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int CommandDialog(DWORD timeoutMs, const std::string& syncDir, const std::string& ownerMode,
                  std::string commandLine) {
    HWND owner = nullptr;
    if (ownerMode == "owned" || ownerMode == "foreground") {
        owner = MakeTopLevelWindow("OrrelinDriverOwner", OwnerProc, "Owner", 20, 20, 200, 100);
        PumpMessages();
        if (ownerMode == "foreground") {
            SetForegroundWindow(owner);
            PumpMessages();
        }
        const size_t at = commandLine.find("%OWNER%");
        if (at != std::string::npos) {
            commandLine.replace(at, 7, HandleText(owner));
        }
    }
    printf("owner_hwnd=%s\nforeground_is_owner=%d\n", HandleText(owner).c_str(),
           owner != nullptr && GetForegroundWindow() == owner ? 1 : 0);
    WriteFileAtomically(syncDir + "\\owner", "owner_hwnd=" + HandleText(owner) + "\n");
    PROCESS_INFORMATION process = {};
    if (!StartProcess(commandLine, process)) {
        return 1;
    }
    const DWORD start = GetTickCount();
    DialogSearch search = {process.dwProcessId, nullptr};
    while (search.found == nullptr && GetTickCount() - start < timeoutMs &&
           WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            WaitPumping(20);
        }
    }
    if (search.found != nullptr) {
        HWND dialogOwner = GetWindow(search.found, GW_OWNER);
        RECT rect = {};
        GetWindowRect(search.found, &rect);
        char ready[512];
        snprintf(ready, sizeof ready,
                 "dialog_found=1\ndialog_owner=%s\ndialog_owner_is_driver_window=%d\n"
                 "dialog_rect=%ld %ld %ld %ld\nscreen=%d %d\n",
                 HandleText(dialogOwner).c_str(), owner != nullptr && dialogOwner == owner ? 1 : 0,
                 rect.left, rect.top, rect.right, rect.bottom, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN));
        printf("%s", ready);
        fflush(stdout);
        WriteFileAtomically(syncDir + "\\ready", ready);
    } else {
        printf("dialog_found=0\n");
        WriteFileAtomically(syncDir + "\\ready", "dialog_found=0\n");
    }
    printf("%s\n", WaitForExit(process, timeoutMs).c_str());
    CloseProcess(process);
    if (owner != nullptr) {
        DestroyWindow(owner);
    }
    return 0;
}

int CommandSpi() {
    BOOL running = FALSE;
    const BOOL ok = SystemParametersInfoA(kGetScreenSaverRunning, 0, &running, 0);
    printf("spi_ok=%d\nsaver_running=%d\n", ok ? 1 : 0, running ? 1 : 0);
    return 0;
}

int CommandTerminate() {
    const SaverSearch search = FindAllSavers();
    for (int i = 0; i < search.count; ++i) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, search.processIds[i]);
        if (process != nullptr) {
            TerminateProcess(process, 0xDEAD);
            CloseHandle(process);
        }
    }
    printf("terminated=%d\n", search.count);
    return 0;
}

int Usage() {
    fprintf(stderr, "usage: driver run|saver|gone|message|preview|dialog|spi|terminate ...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "run" && argc == 5) {
        return CommandRun(strtoul(argv[2], nullptr, 10), argv[3], argv[4]);
    }
    if (command == "saver" && argc == 3) {
        return CommandSaver(strtoul(argv[2], nullptr, 10));
    }
    if (command == "gone" && argc == 3) {
        return CommandGone(strtoul(argv[2], nullptr, 10));
    }
    if (command == "message" && argc == 5) {
        return CommandMessage(argv[2], argv[3], argv[4]);
    }
    if (command == "preview" && (argc == 5 || argc == 6)) {
        return CommandPreview(strtoul(argv[2], nullptr, 10), argv[3], argv[4],
                              argc == 6 ? argv[5] : "/p");
    }
    if (command == "dialog" && argc == 6) {
        return CommandDialog(strtoul(argv[2], nullptr, 10), argv[3], argv[4], argv[5]);
    }
    if (command == "terminate" && argc == 2) {
        return CommandTerminate();
    }
    if (command == "spi" && argc == 2) {
        return CommandSpi();
    }
    return Usage();
}
