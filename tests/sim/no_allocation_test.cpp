// Counts every allocation of the test program, to show that the per-frame
// passes allocate nothing once the field exists.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/support/sim_fixture.h"

// The replacements below are a matched pair over malloc and free; GCC cannot
// tell once it inlines them into code that uses the standard new and delete.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<long> gAllocations{0};

}  // namespace

void* operator new(std::size_t size) {
    ++gAllocations;
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

void DiscardPoint(float, float, float) {}

class NoAllocationTest : public SimTest {};

TEST_F(NoAllocationTest, FramesAllocateNothing) {
    const long beforeInit = gAllocations;
    InitScene(1024, 768);
    // The counter sees the field's own allocations, so it is live.
    EXPECT_GE(gAllocations - beforeInit, kBodyCount);

    const uint32_t stateBefore = gRandom.state;
    const long beforeFrames = gAllocations;
    for (int frame = 0; frame < 5000; ++frame) {
        ComputeAccelerations();
        AdvanceAndDraw(DiscardPoint);
    }
    EXPECT_EQ(gAllocations - beforeFrames, 0);
    // Replacements happened in those frames, and they too allocated nothing.
    EXPECT_NE(gRandom.state, stateBefore);
}

}  // namespace
