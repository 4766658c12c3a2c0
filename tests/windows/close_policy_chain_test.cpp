// The close rules of the full-screen saver, driven through the real procedure
// chain of a real window: a rule "posts close" when a WM_CLOSE is waiting in
// the window's queue afterwards.

#include <gtest/gtest.h>

#include "host/saver_state.h"
#include "tests/windows/chain_test_support.h"

namespace {

struct InputCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool closesFullScreen;
};

constexpr InputCase kInputCases[] = {
    {"key down", WM_KEYDOWN, 'A', 0x001E0001, true},
    {"system key down", WM_SYSKEYDOWN, VK_F10, 0x00440001, true},
    {"left button", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), true},
    {"right button", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5), true},
    {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(5, 5), true},
    {"key up", WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001), false},
    {"left button up", WM_LBUTTONUP, 0, MAKELPARAM(5, 5), false},
    {"loses activation", WM_ACTIVATEAPP, 0, 0, true},
    {"gains activation", WM_ACTIVATEAPP, 1, 0, false},
    {"shown", WM_SHOWWINDOW, 1, 0, false},
    {"hidden", WM_SHOWWINDOW, 0, 0, false},
    {"critical resume", WM_POWER, 3, 0, true},
    {"suspend request (old message)", WM_POWER, 1, 0, false},
    {"query suspend", WM_POWERBROADCAST, 0, 0, true},
    {"query standby", WM_POWERBROADCAST, 1, 0, true},
    {"query suspend failed", WM_POWERBROADCAST, 2, 0, true},
    {"query standby failed", WM_POWERBROADCAST, 3, 0, true},
    {"suspend", WM_POWERBROADCAST, 4, 0, true},
    {"standby", WM_POWERBROADCAST, 5, 0, true},
    {"resume critical", WM_POWERBROADCAST, 6, 0, true},
    {"resume critical, no user", WM_POWERBROADCAST, 6, 1, false},
    {"resume suspend", WM_POWERBROADCAST, 7, 0, true},
    {"resume suspend, no user", WM_POWERBROADCAST, 7, 1, false},
    {"resume suspend, other flag bits", WM_POWERBROADCAST, 7, 2, true},
    {"resume standby", WM_POWERBROADCAST, 8, 0, true},
    {"resume standby, no user", WM_POWERBROADCAST, 8, 3, false},
    {"battery low", WM_POWERBROADCAST, 9, 0, true},
    {"OEM event", WM_POWERBROADCAST, 11, 0, true},
    {"automatic resume", WM_POWERBROADCAST, 18, 0, true},
    {"automatic resume, no user", WM_POWERBROADCAST, 18, 1, false},
    {"power setting change", WM_POWERBROADCAST, 0x8013, 0, true},
};

enum class Mode { kFullScreen, kPreview, kCheckingPassword, kClosing };

const char* ModeName(Mode mode) {
    switch (mode) {
        case Mode::kFullScreen:
            return "full screen";
        case Mode::kPreview:
            return "preview";
        case Mode::kCheckingPassword:
            return "password check in progress";
        case Mode::kClosing:
            return "closing";
    }
    return "?";
}

BOOL WINAPI RefuseAlways(HWND) {
    return 0;
}

BYTE CurrentAcLineStatus() {
    SYSTEM_POWER_STATUS status = {};
    return GetSystemPowerStatus(&status) ? status.ACLineStatus : kUnknownAcLineStatus;
}

class CloseRules : public ChainWindowTest {
  protected:
    void Create(Mode mode) {
        gSaverState.isPreview = mode == Mode::kPreview ? 1 : 0;
        window_ = CreateChainWindow(nullptr, 160, 120);
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(TakeAllQueuedCloses(window_), 0);
        gSaverState.checkingPassword = mode == Mode::kCheckingPassword ? 1 : 0;
        gSaverState.closing = mode == Mode::kClosing ? 1 : 0;
        // The AC line does not change while the table runs.
        gSaverState.lastAcLineStatus = CurrentAcLineStatus();
    }
};

TEST_F(CloseRules, EachInputMessageInEachMode) {
    for (Mode mode : {Mode::kFullScreen, Mode::kPreview, Mode::kCheckingPassword, Mode::kClosing}) {
        Create(mode);
        for (const InputCase& input : kInputCases) {
            SCOPED_TRACE(std::string(ModeName(mode)) + ": " + input.name);
            SendMessageA(window_, input.message, input.wParam, input.lParam);
            const int expected = mode == Mode::kFullScreen && input.closesFullScreen ? 1 : 0;
            EXPECT_EQ(TakeAllQueuedCloses(window_), expected);
            EXPECT_TRUE(IsWindow(window_));
        }
        DestroyChainWindow(window_);
        window_ = nullptr;
        ResetSaverState();
    }
}

TEST_F(CloseRules, PowerStatusChangeClosesOnlyWhenTheAcLineChanged) {
    Create(Mode::kFullScreen);
    const BYTE current = CurrentAcLineStatus();

    gSaverState.lastAcLineStatus = current;
    SendMessageA(window_, WM_POWERBROADCAST, 10, 0);
    EXPECT_EQ(TakeAllQueuedCloses(window_), 0);
    EXPECT_EQ(gSaverState.lastAcLineStatus, current);

    gSaverState.lastAcLineStatus = static_cast<BYTE>(current ^ 1);
    SendMessageA(window_, WM_POWERBROADCAST, 10, 0);
    EXPECT_EQ(TakeAllQueuedCloses(window_), 1);
    EXPECT_EQ(gSaverState.lastAcLineStatus, current);

    // The status is stored either way, so the same status again stays quiet.
    SendMessageA(window_, WM_POWERBROADCAST, 10, 0);
    EXPECT_EQ(TakeAllQueuedCloses(window_), 0);
}

TEST_F(CloseRules, SetCursorIsAnsweredWithoutDefWindowProc) {
    // DefWindowProcA offers WM_SETCURSOR of a child window to the parent
    // first, so the recording parent sees whether the message got there.
    for (int preview : {0, 1}) {
        SCOPED_TRACE(preview ? "preview" : "full screen");
        ResetSaverState();
        gSaverState.isPreview = preview;
        HWND parent = CreateRecordingParent(160, 120);
        HWND child = CreateChainWindow(parent, 160, 120);
        ASSERT_NE(child, nullptr);
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        const LRESULT result = SendMessageA(child, WM_SETCURSOR, reinterpret_cast<WPARAM>(child),
                                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        if (preview) {
            EXPECT_EQ(CountRecorded(WM_SETCURSOR), 1);
        } else {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(CountRecorded(WM_SETCURSOR), 0);
            EXPECT_EQ(GetCursor(), nullptr);
        }
        EXPECT_EQ(TakeAllQueuedCloses(child), 0);
        DestroyChainWindow(child);
        DestroyWindow(parent);
    }
}

TEST_F(CloseRules, AutoPlayMessageClosesAndAnswersByVerifyFunction) {
    struct Case {
        const char* name;
        Mode mode;
        bool verifyLoaded;
        LRESULT expected;
    };
    const Case cases[] = {
        {"full screen, no verify function", Mode::kFullScreen, false, 0},
        {"full screen, verify function", Mode::kFullScreen, true, 1},
        {"preview, no verify function", Mode::kPreview, false, 0},
    };
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Create(c.mode);
        gSaverState.autoPlayMessage = autoPlay;
        gSaverState.verifyPassword = c.verifyLoaded ? RefuseAlways : nullptr;
        EXPECT_EQ(SendMessageA(window_, autoPlay, 0, 0), c.expected);
        EXPECT_EQ(TakeAllQueuedCloses(window_), 1);
        DestroyChainWindow(window_);
        window_ = nullptr;
        ResetSaverState();
    }
    // Not registered (the NT family): the message means nothing.
    Create(Mode::kFullScreen);
    SendMessageA(window_, autoPlay, 0, 0);
    EXPECT_EQ(TakeAllQueuedCloses(window_), 0);
}

TEST_F(CloseRules, ClosingOnTheNtFamilyDestroysTheWindow) {
    Create(Mode::kFullScreen);
    SendMessageA(window_, WM_KEYDOWN, 'A', 0);
    MSG close;
    ASSERT_TRUE(PeekMessageA(&close, window_, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    DispatchMessageA(&close);
    EXPECT_FALSE(IsWindow(window_));
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

class PointerTravel : public ChainWindowTest {
  protected:
    void SetUp() override {
        ChainWindowTest::SetUp();
        ASSERT_TRUE(SetCursorPos(300, 300));
        window_ = CreateChainWindow(nullptr, 640, 480);
        ASSERT_NE(window_, nullptr);
    }

    // Moves the pointer and tells the window, with message coordinates that
    // are deliberately wrong: the rule reads the pointer itself.
    int MoveTo(int x, int y) {
        SetCursorPos(x, y);
        SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(600, 400));
        return TakeAllQueuedCloses(window_);
    }
};

TEST_F(PointerTravel, FourPixelsStayAFifthCloses) {
    POINT p = {};
    GetCursorPos(&p);
    ASSERT_EQ(p.x, 300);
    ASSERT_EQ(p.y, 300);
    // Creation takes the anchor.
    EXPECT_EQ(gSaverState.mouseAnchor.x, 300);
    EXPECT_EQ(gSaverState.mouseAnchor.y, 300);

    EXPECT_EQ(MoveTo(302, 302), 0);
    EXPECT_EQ(gSaverState.mouseAnchor.x, 300);
    EXPECT_EQ(MoveTo(303, 302), 1);
    EXPECT_EQ(gSaverState.mouseAnchor.x, 303);
    EXPECT_EQ(gSaverState.mouseAnchor.y, 302);

    // Slow drift adds up: the anchor stays until the sum passes 4.
    EXPECT_EQ(MoveTo(302, 301), 0);
    EXPECT_EQ(MoveTo(301, 300), 0);
    EXPECT_EQ(MoveTo(300, 300), 1);
    // Leftwards and upwards count the same.
    EXPECT_EQ(MoveTo(296, 300), 0);
    EXPECT_EQ(MoveTo(295, 300), 1);
    EXPECT_EQ(MoveTo(295, 295), 1);
    // No travel, no close.
    EXPECT_EQ(MoveTo(295, 295), 0);
}

TEST_F(PointerTravel, PreviewIgnoresPointerTravel) {
    DestroyChainWindow(window_);
    gSaverState.isPreview = 1;
    HWND parent = CreateRecordingParent(152, 112);
    window_ = CreateChainWindow(parent, 152, 112);
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(MoveTo(400, 400), 0);
    DestroyChainWindow(window_);
    window_ = nullptr;
    DestroyWindow(parent);
}

}  // namespace
