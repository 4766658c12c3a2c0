#pragma once

// Real windows driven by the saver's own procedure chain, for the tests that
// run under Wine.

#include <gtest/gtest.h>

#include <vector>

#include "host/saver_state.h"

// A fresh process record, as at process start.
void ResetSaverState();

// A window whose class procedure is HostWindowProc, so every message goes down
// the real chain. Full screen unless isPreview is set in gSaverState before;
// with a parent it is a child window filling the given size.
HWND CreateChainWindow(HWND parent, int width, int height);

// Destroys the window and removes the quit message its destruction posts.
void DestroyChainWindow(HWND window);

// True when a WM_CLOSE is waiting in the queue for the window; takes it out.
bool TakeQueuedClose(HWND window);

// Removes every queued WM_CLOSE and returns how many there were.
int TakeAllQueuedCloses(HWND window);

// Handles the thread's messages for a while (frame ticks included).
void PumpFor(DWORD milliseconds);

// A top-level window that records what it receives.
struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
HWND CreateRecordingParent(int width, int height);
extern std::vector<RecordedMessage> gRecorded;
int CountRecorded(UINT message);

// Each test starts and ends with a fresh process record; the windows it made
// (window_, and parent_ where it needs one) are destroyed after it.
class ChainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetSaverState(); }
    void TearDown() override {
        DestroyChainWindow(window_);
        if (parent_ != nullptr) {
            DestroyWindow(parent_);
        }
        ResetSaverState();
    }

    HWND window_ = nullptr;
    HWND parent_ = nullptr;
};
