#include "host/frame_timer.h"

#include "render/renderer.h"

void PresentBySwapBuffers(void* target) {
    SwapBuffers(static_cast<HDC>(target));
}

VOID CALLBACK OnFrameTimer(HWND window, UINT, UINT_PTR, DWORD) {
    // The class owns its device context, so this is the same context every
    // tick and is never released here.
    RenderFrame(PresentBySwapBuffers, GetDC(window));
}
