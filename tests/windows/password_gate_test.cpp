// The password gate of the Windows 95 family: a queued close asks the verify
// function through the chain, at most once per 200 ms, and never re-enters.

#include <gtest/gtest.h>

#include "host/default_saver_proc.h"
#include "host/saver_state.h"
#include "tests/windows/chain_test_support.h"

namespace {

// What the verify function saw and does.
int gVerifyCalls = 0;
int gAcceptFromCall = 2;
int gNestedCalls = 0;
bool gInsideVerify = false;
HWND gVerifiedWindow = nullptr;
int gClosesPostedDuringCheck = 0;
int gTimersAtCall = -1;

BOOL WINAPI RefuseThenAccept(HWND window) {
    if (gInsideVerify) {
        ++gNestedCalls;
    }
    gVerifiedWindow = window;
    return ++gVerifyCalls >= gAcceptFromCall;
}

// Counts and takes the posted timer messages with this id.
int TakeTimers(HWND window, WPARAM id) {
    int count = 0;
    MSG message;
    // Taking all and counting ours: frame ticks of the real timer may be due too.
    while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        if (message.wParam == id) {
            ++count;
        }
    }
    return count;
}

constexpr WPARAM kTestTimerId = 4242;

// A verify function that, like a real password dialog, gets input while it is
// open: the window must neither post a close nor ask again meanwhile.
BOOL WINAPI VerifyWhileUserTypes(HWND window) {
    gInsideVerify = true;
    ++gVerifyCalls;
    gTimersAtCall = TakeTimers(window, kTestTimerId);
    SetCursorPos(10, 10);
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    SendMessageA(window, WM_ACTIVATEAPP, 0, 0);
    SendMessageA(window, WM_CLOSE, 0, 0);
    gClosesPostedDuringCheck = TakeAllQueuedCloses(window);
    gInsideVerify = false;
    return 0;
}

class PasswordGate : public ChainWindowTest {
  protected:
    void SetUp() override {
        ChainWindowTest::SetUp();
        gVerifyCalls = 0;
        gAcceptFromCall = 2;
        gNestedCalls = 0;
        gInsideVerify = false;
        gVerifiedWindow = nullptr;
        gClosesPostedDuringCheck = 0;
        gTimersAtCall = -1;
        gSaverState.onWin9x = 1;
        SetCursorPos(500, 400);
        window_ = CreateChainWindow(nullptr, 160, 120);
        ASSERT_NE(window_, nullptr);
    }

    // A key press; returns true when it posted a close, which is then
    // delivered like the message loop would.
    bool PressKeyAndDeliverClose() {
        SendMessageA(window_, WM_KEYDOWN, 'A', 0);
        MSG close;
        if (!PeekMessageA(&close, window_, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
            return false;
        }
        DispatchMessageA(&close);
        return true;
    }
};

TEST_F(PasswordGate, RefusalKeepsTheSaverAndAsksAgainOnlyAfter200Ms) {
    gSaverState.verifyPassword = RefuseThenAccept;

    SetCursorPos(520, 410);
    ASSERT_TRUE(PressKeyAndDeliverClose());
    EXPECT_EQ(gVerifyCalls, 1);
    EXPECT_EQ(gVerifiedWindow, window_);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(gSaverState.closing, 0);
    EXPECT_EQ(gSaverState.checkingPassword, 0);
    EXPECT_EQ(GetCursor(), nullptr);
    // The refusal re-anchors the pointer where it is.
    EXPECT_EQ(gSaverState.mouseAnchor.x, 520);
    EXPECT_EQ(gSaverState.mouseAnchor.y, 410);
    const DWORD firstCheck = gSaverState.lastPasswordCheck;
    EXPECT_NE(firstCheck, kNeverChecked);
    EXPECT_LT(GetTickCount() - firstCheck, 1000u);

    // Within 200 ms of the prompt: the close is refused without asking.
    ASSERT_TRUE(PressKeyAndDeliverClose());
    EXPECT_EQ(gVerifyCalls, 1);
    EXPECT_TRUE(IsWindow(window_));

    // After 200 ms it asks again; the second answer lets the saver close.
    Sleep(kPasswordRetryMs + 20);
    ASSERT_TRUE(PressKeyAndDeliverClose());
    EXPECT_EQ(gVerifyCalls, 2);
    EXPECT_EQ(gSaverState.closing, 1);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(PasswordGate, RetryIntervalIsMeasuredOnTheWrappingTickCount) {
    gSaverState.verifyPassword = RefuseThenAccept;
    gAcceptFromCall = 100;
    struct Case {
        const char* name;
        DWORD ageMs;  // GetTickCount() - lastPasswordCheck, taken as unsigned
        int asks;
    };
    const Case cases[] = {
        {"just now", 0, 0},
        {"150 ms ago", 150, 0},
        {"250 ms ago", 250, 1},
        // A check "in the future" is an unsigned difference near 2^32.
        {"tick count wrapped", static_cast<DWORD>(-100), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gVerifyCalls = 0;
        gSaverState.lastPasswordCheck = GetTickCount() - c.ageMs;
        ASSERT_TRUE(PressKeyAndDeliverClose());
        EXPECT_EQ(gVerifyCalls, c.asks);
        EXPECT_TRUE(IsWindow(window_));
    }
}

TEST_F(PasswordGate, QueuedFrameTicksAreDroppedTwoAtMost) {
    gSaverState.verifyPassword = VerifyWhileUserTypes;
    for (int queued : {2, 3}) {
        SCOPED_TRACE(queued);
        gSaverState.lastPasswordCheck = kNeverChecked;
        for (int i = 0; i < queued; ++i) {
            PostMessageA(window_, WM_TIMER, kTestTimerId, 0);
        }
        ASSERT_TRUE(PressKeyAndDeliverClose());
        EXPECT_EQ(gTimersAtCall, queued - 2);
    }
}

TEST_F(PasswordGate, NoCloseAndNoSecondPromptWhileChecking) {
    gSaverState.verifyPassword = VerifyWhileUserTypes;
    ASSERT_TRUE(PressKeyAndDeliverClose());
    EXPECT_EQ(gVerifyCalls, 1);
    EXPECT_EQ(gNestedCalls, 0);
    EXPECT_EQ(gClosesPostedDuringCheck, 0);
    EXPECT_EQ(TakeAllQueuedCloses(window_), 0);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(gSaverState.checkingPassword, 0);
    // Once the check is over the rules apply again.
    SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(TakeAllQueuedCloses(window_), 1);
}

TEST_F(PasswordGate, WithoutVerifyFunctionTheFirstCloseGoesThrough) {
    ASSERT_TRUE(PressKeyAndDeliverClose());
    EXPECT_EQ(gSaverState.closing, 1);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(PasswordGate, VerifyMessageIsAnsweredByTheFamilyAndTheFunction) {
    // Loaded function: its answer.
    gSaverState.verifyPassword = RefuseThenAccept;
    gAcceptFromCall = 2;
    EXPECT_EQ(SendMessageA(window_, kVerifyPasswordMessage, 0, 0), 0);
    EXPECT_EQ(SendMessageA(window_, kVerifyPasswordMessage, 0, 0), 1);
    // None loaded: may close.
    gSaverState.verifyPassword = nullptr;
    EXPECT_EQ(SendMessageA(window_, kVerifyPasswordMessage, 0, 0), 1);
    // The NT family does not know the message; nothing is asked.
    gSaverState.onWin9x = 0;
    gSaverState.verifyPassword = RefuseThenAccept;
    gVerifyCalls = 0;
    EXPECT_EQ(SendMessageA(window_, kVerifyPasswordMessage, 0, 0), 0);
    EXPECT_EQ(gVerifyCalls, 0);
}

TEST_F(PasswordGate, NtFamilyNeverAsks) {
    gSaverState.onWin9x = 0;
    gSaverState.verifyPassword = RefuseThenAccept;
    gAcceptFromCall = 100;
    ASSERT_TRUE(PressKeyAndDeliverClose());
    EXPECT_EQ(gVerifyCalls, 0);
    EXPECT_FALSE(IsWindow(window_));
}

TEST_F(PasswordGate, GateRefusesWhileCheckingOrClosing) {
    gSaverState.verifyPassword = RefuseThenAccept;
    gAcceptFromCall = 1;
    gSaverState.checkingPassword = 1;
    EXPECT_EQ(VerifyBeforeClose(window_), 0);
    gSaverState.checkingPassword = 0;
    gSaverState.closing = 1;
    EXPECT_EQ(VerifyBeforeClose(window_), 0);
    EXPECT_EQ(gVerifyCalls, 0);
}

}  // namespace
