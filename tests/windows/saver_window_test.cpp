// The animation's life inside the saver window: created with the window,
// advanced by the frame timer, gone with the window.

#include <gtest/gtest.h>

#include "host/saver_state.h"
#include "render/renderer.h"
#include "sim/scene.h"
#include "tests/windows/chain_test_support.h"

namespace {

class SaverWindow : public ChainWindowTest {};

TEST_F(SaverWindow, PreviewFieldIsLaidOutForTheClientArea) {
    gSaverState.isPreview = 1;
    parent_ = CreateRecordingParent(152, 112);
    window_ = CreateChainWindow(parent_, 152, 112);
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(gScene.width, 152);
    EXPECT_EQ(gScene.height, 112);
    for (const auto& body : gScene.bodies) {
        ASSERT_NE(body, nullptr);
    }
    EXPECT_EQ(gFrameCounter, 0);
}

TEST_F(SaverWindow, FramesRunWhileTheWindowLivesAndStopWithIt) {
    window_ = CreateChainWindow(nullptr, 320, 240);
    ASSERT_NE(window_, nullptr);
    PumpFor(400);
    const int32_t running = gFrameCounter;
    EXPECT_GT(running, 0);
    EXPECT_EQ(running % kFrameCounterStep, 0);

    DestroyWindow(window_);
    const int32_t atDestruction = gFrameCounter;
    // The timer went with the window, before the field was freed.
    EXPECT_FALSE(KillTimer(window_, kFrameTimerId));
    EXPECT_EQ(gScene.bodies[0], nullptr);
    PumpFor(200);
    EXPECT_EQ(gFrameCounter, atDestruction);
    window_ = nullptr;
    DestroyChainWindow(nullptr);
}

}  // namespace
