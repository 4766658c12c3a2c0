#pragma once

#include <cstdint>

inline constexpr int kFrameIntervalMs = 11;
inline constexpr unsigned kFrameTimerId = 1;
// The frame counter advances by the nominal interval each frame.
inline constexpr int32_t kFrameCounterStep = 11;
// Radians per counter unit of the background's red, green and blue waves.
inline constexpr float kRedRate = 0.001f;
inline constexpr float kGreenRate = 0.0014285714f;
inline constexpr float kBlueRate = 0.0025f;

struct ClearColour {
    float red;
    float green;
    float blue;
};

// Reset to 0 when the saver window is created; 32-bit, wraps as two's complement.
extern int32_t gFrameCounter;

int32_t NextFrameCounter(int32_t counter);
ClearColour CycleColour(int32_t counter);

// One unit per pixel of a W x H drawing area, origin at the bottom left.
void SetUpView(int width, int height);

// Shows a finished frame: SwapBuffers, glXSwapBuffers or eglSwapBuffers.
using PresentFrame = void (*)(void* target);

// What a saver window does once its GL context is current: the pixel view of
// the drawing area, a fresh frame counter and a field laid out for the area.
void StartAnimation(int width, int height);

// Draws one frame into the current GL context, then presents it.
void RenderFrame(PresentFrame present, void* target);
