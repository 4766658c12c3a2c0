// The smallest full-screen Win32 OpenGL program that behaves like the saver
// from the outside: a topmost window over the virtual screen, a double-buffered
// 24-bit context, one cleared and swapped frame per 11 ms tick, and an end at
// the first key press or click. bench/windows-startup measures it beside
// Orrelin.scr to show what the saver adds to start-up and shut-down.

#include <windows.h>

#include <GL/gl.h>

namespace {

HDC gDeviceContext = nullptr;
HGLRC gRenderingContext = nullptr;

void BindGl(HWND window) {
    gDeviceContext = GetDC(window);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    SetPixelFormat(gDeviceContext, ChoosePixelFormat(gDeviceContext, &format), &format);
    gRenderingContext = wglCreateContext(gDeviceContext);
    wglMakeCurrent(gDeviceContext, gRenderingContext);
}

void ReleaseGl(HWND window) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(gRenderingContext);
    ReleaseDC(window, gDeviceContext);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            BindGl(window);
            SetTimer(window, 1, 11, nullptr);
            return 0;
        case WM_TIMER:
            glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            SwapBuffers(gDeviceContext);
            return 0;
        case WM_KEYDOWN:
        case WM_LBUTTONDOWN:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            KillTimer(window, 1);
            ReleaseGl(window);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "MinimalGlWindow";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "Minimal GL",
                        WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                        GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                        nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
