// Times a full-screen GL program under Wine from the inside of Windows:
//
//   windows_measure RUNS LABEL=COMMAND_LINE [LABEL=COMMAND_LINE...]
//
// Per run and program: milliseconds from CreateProcess to its first visible
// top-level window and to its first frame on the screen (the screen pixel at
// (3, 3) leaves black), and from a synthetic key press to the end of the
// process. The programs take turns, so drift affects them alike. Prints one
// line per run and the medians.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct WindowSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

COLORREF ScreenPixel() {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, 3, 3);
    ReleaseDC(nullptr, screen);
    return colour;
}

void PressKey() {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_SPACE;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

struct Timing {
    double windowMs = -1;
    double frameMs = -1;
    double closeMs = -1;
    long exitCode = 0;
};

Timing MeasureOnce(const std::string& commandLine) {
    Timing timing;
    // Start from a black screen, as the display is without any program.
    const double settleStart = NowMs();
    while (ScreenPixel() != RGB(0, 0, 0) && NowMs() - settleStart < 5000) {
        Sleep(10);
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string mutableLine = commandLine;
    const double start = NowMs();
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return timing;
    }
    WindowSearch search = {process.dwProcessId, false};
    while (NowMs() - start < 30000) {
        if (timing.windowMs < 0) {
            EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                timing.windowMs = NowMs() - start;
            }
        }
        if (ScreenPixel() != RGB(0, 0, 0)) {
            timing.frameMs = NowMs() - start;
            if (timing.windowMs < 0) {
                timing.windowMs = timing.frameMs;
            }
            break;
        }
        Sleep(1);
    }
    // Let it run a moment, as a user would before touching a key.
    Sleep(1000);
    const double pressed = NowMs();
    PressKey();
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) {
        timing.closeMs = NowMs() - pressed;
    } else {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    timing.exitCode = static_cast<LONG>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return timing;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 3) {
        fprintf(stderr, "usage: windows_measure RUNS LABEL=COMMAND_LINE...\n");
        return 2;
    }
    const int runs = atoi(argv[1]);
    struct Program {
        std::string label;
        std::string commandLine;
        std::vector<double> window, frame, close;
    };
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        programs.push_back(
            Program{argument.substr(0, equals), argument.substr(equals + 1), {}, {}, {}});
    }
    for (int run = 0; run < runs; ++run) {
        for (Program& program : programs) {
            const Timing timing = MeasureOnce(program.commandLine);
            printf("run %d %-8s window %7.1f ms  first frame %7.1f ms  close %7.1f ms  exit %ld\n",
                   run + 1, program.label.c_str(), timing.windowMs, timing.frameMs, timing.closeMs,
                   timing.exitCode);
            program.window.push_back(timing.windowMs);
            program.frame.push_back(timing.frameMs);
            program.close.push_back(timing.closeMs);
        }
    }
    for (const Program& program : programs) {
        printf("median %-8s window %7.1f ms  first frame %7.1f ms  close %7.1f ms\n",
               program.label.c_str(), Median(program.window), Median(program.frame),
               Median(program.close));
    }
    if (programs.size() >= 2) {
        const Program& a = programs[0];
        const Program& b = programs[1];
        printf("ratio %s/%s first frame %.2f  close %.2f\n", a.label.c_str(), b.label.c_str(),
               Median(a.frame) / Median(b.frame), Median(a.close) / Median(b.close));
    }
    return 0;
}
