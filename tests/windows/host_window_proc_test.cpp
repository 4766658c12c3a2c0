// The host's own handling at the top of the chain: title, task-switch
// commands, help forwarding from the preview and the closing shortcuts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/saver_state.h"
#include "tests/windows/chain_test_support.h"

namespace {

// DefWindowProcA runs the CBT hook before it acts on a WM_SYSCOMMAND, so the
// hook shows which commands got past the host.
std::vector<WPARAM> gSystemCommands;

LRESULT CALLBACK RecordSystemCommands(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_SYSCOMMAND) {
        gSystemCommands.push_back(wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string Title(HWND window) {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class HostWindowProc : public ChainWindowTest {
  protected:
    void CreateFullScreen() {
        window_ = CreateChainWindow(nullptr, 160, 120);
        ASSERT_NE(window_, nullptr);
    }
    void CreatePreview() {
        gSaverState.isPreview = 1;
        parent_ = CreateRecordingParent(152, 112);
        window_ = CreateChainWindow(parent_, 152, 112);
        ASSERT_NE(window_, nullptr);
    }
};

TEST_F(HostWindowProc, TitleIsNeverChanged) {
    for (int preview : {0, 1}) {
        SCOPED_TRACE(preview ? "preview" : "full screen");
        if (preview) {
            CreatePreview();
        } else {
            CreateFullScreen();
        }
        const std::string before = Title(window_);
        EXPECT_EQ(before, preview ? "Preview" : "Screen Saver");
        EXPECT_EQ(SendMessageA(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed")), 0);
        SetWindowTextA(window_, "Changed again");
        EXPECT_EQ(Title(window_), before);
        DestroyChainWindow(window_);
        window_ = nullptr;
        ResetSaverState();
    }
}

TEST_F(HostWindowProc, TaskSwitchCommandsAreSwallowedInFullScreenOnly) {
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordSystemCommands, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    struct Case {
        bool preview;
        WPARAM command;
        bool reachesDefWindowProc;
    };
    const Case cases[] = {
        {false, SC_NEXTWINDOW, false}, {false, SC_PREVWINDOW, false}, {false, SC_SCREENSAVE, false},
        {false, SC_CLOSE, true},       {true, SC_SCREENSAVE, true},   {true, SC_NEXTWINDOW, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.preview ? "preview " : "full screen ") +
                     std::to_string(c.command));
        if (c.preview) {
            CreatePreview();
        } else {
            CreateFullScreen();
        }
        gSystemCommands.clear();
        const LRESULT result = SendMessageA(window_, WM_SYSCOMMAND, c.command, 0);
        if (c.reachesDefWindowProc) {
            ASSERT_EQ(gSystemCommands.size(), 1u);
            EXPECT_EQ(gSystemCommands[0], c.command);
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(gSystemCommands.empty());
            EXPECT_TRUE(IsWindow(window_));
        }
        DestroyChainWindow(window_);
        window_ = nullptr;
        if (parent_ != nullptr) {
            DestroyWindow(parent_);
            parent_ = nullptr;
        }
        ResetSaverState();
    }
    UnhookWindowsHookEx(hook);
}

// Whether the platform posts this message at all: both Windows and Wine
// refuse to post messages below WM_USER whose lParam is a pointer, WM_HELP
// among them (ERROR_MESSAGE_SYNC_ONLY).
bool PlatformPosts(UINT message, LPARAM lParam) {
    HWND probe = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    const bool posted = PostMessageA(probe, message, 0, lParam) != 0;
    DestroyWindow(probe);
    MSG stale;
    while (PeekMessageA(&stale, probe, 0, 0, PM_REMOVE)) {
    }
    return posted;
}

TEST_F(HostWindowProc, PreviewForwardsHelpAndContextMenuToTheParent) {
    CreatePreview();
    HELPINFO help = {};
    help.cbSize = sizeof help;
    help.iContextType = HELPINFO_WINDOW;
    help.hItemHandle = window_;
    for (UINT message : {static_cast<UINT>(WM_CONTEXTMENU), static_cast<UINT>(WM_HELP)}) {
        SCOPED_TRACE(message);
        gRecorded.clear();
        const LPARAM lParam =
            message == WM_HELP ? reinterpret_cast<LPARAM>(&help) : MAKELPARAM(7, 9);
        EXPECT_EQ(SendMessageA(window_, message, reinterpret_cast<WPARAM>(window_), lParam), 1);
        // Nothing was passed down the chain: DefWindowProcA would have sent
        // the message on to the parent at once.
        EXPECT_EQ(CountRecorded(message), 0);
        PumpFor(50);
        if (message == WM_HELP && !PlatformPosts(WM_HELP, lParam)) {
            EXPECT_EQ(CountRecorded(message), 0);
            continue;
        }
        ASSERT_EQ(CountRecorded(message), 1);
        EXPECT_EQ(gRecorded[0].wParam, reinterpret_cast<WPARAM>(parent_));
        EXPECT_EQ(gRecorded[0].lParam, lParam);
    }
}

TEST_F(HostWindowProc, FullScreenPassesContextMenuOn) {
    // A full-screen-mode window with a parent: the message goes down the
    // chain, where DefWindowProcA hands it to the parent at once, unchanged.
    parent_ = CreateRecordingParent(160, 120);
    window_ = CreateChainWindow(parent_, 160, 120);
    ASSERT_NE(window_, nullptr);
    gRecorded.clear();
    SendMessageA(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), MAKELPARAM(7, 9));
    ASSERT_EQ(CountRecorded(WM_CONTEXTMENU), 1);
    EXPECT_EQ(gRecorded[0].wParam, reinterpret_cast<WPARAM>(window_));
}

TEST_F(HostWindowProc, ClosingSendsInputStraightToDefWindowProc) {
    CreateFullScreen();
    gSaverState.closing = 1;
    for (UINT message : {static_cast<UINT>(WM_KEYDOWN), static_cast<UINT>(WM_SYSKEYDOWN),
                         static_cast<UINT>(WM_LBUTTONDOWN), static_cast<UINT>(WM_RBUTTONDOWN),
                         static_cast<UINT>(WM_MBUTTONDOWN), static_cast<UINT>(WM_MOUSEMOVE)}) {
        SCOPED_TRACE(message);
        SetCursorPos(10 + static_cast<int>(message % 50) * 7, 500);
        SendMessageA(window_, message, 0, 0);
        EXPECT_EQ(TakeAllQueuedCloses(window_), 0);
    }
    // A timer message is answered without a frame.
    EXPECT_EQ(SendMessageA(window_, WM_TIMER, 77, 0), 0);
}

TEST_F(HostWindowProc, CreationTakesTheAnchorAndHidesThePointerInFullScreenOnly) {
    SetCursorPos(123, 234);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    CreateFullScreen();
    EXPECT_EQ(gSaverState.mouseAnchor.x, 123);
    EXPECT_EQ(gSaverState.mouseAnchor.y, 234);
    EXPECT_EQ(GetCursor(), nullptr);
    DestroyChainWindow(window_);
    window_ = nullptr;
    ResetSaverState();

    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(arrow);
    CreatePreview();
    EXPECT_EQ(GetCursor(), arrow);
}

}  // namespace
