#include "host/saver_window_proc.h"

#include "host/default_saver_proc.h"
#include "host/frame_timer.h"
#include "host/wgl_surface.h"
#include "render/renderer.h"
#include "sim/scene.h"

namespace {

LRESULT OnCreate(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    CreateGlContext(window);
    StartAnimation(width, height);
    SetTimer(window, kFrameTimerId, kFrameIntervalMs, OnFrameTimer);
    return 0;
}

LRESULT OnDestroy(HWND window) {
    // Timer first: no frame may run on a freed field.
    KillTimer(window, kFrameTimerId);
    FreeScene();
    ReleaseGlContext(window, gGlSurface.deviceContext, gGlSurface.renderingContext);
    return 0;
}

}  // namespace

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(window);
        case WM_DESTROY:
            return OnDestroy(window);
        default:
            return DefaultSaverProc(window, message, wParam, lParam);
    }
}
