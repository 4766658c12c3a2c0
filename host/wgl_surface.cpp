#include "host/wgl_surface.h"

GlSurface gGlSurface;

PIXELFORMATDESCRIPTOR PixelFormatRequest() {
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 24;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}

void CreateGlContext(HWND window) {
    gGlSurface.deviceContext = GetDC(window);
    const PIXELFORMATDESCRIPTOR request = PixelFormatRequest();
    const int format = ChoosePixelFormat(gGlSurface.deviceContext, &request);
    SetPixelFormat(gGlSurface.deviceContext, format, &request);
    gGlSurface.renderingContext = wglCreateContext(gGlSurface.deviceContext);
    wglMakeCurrent(gGlSurface.deviceContext, gGlSurface.renderingContext);
}

void ReleaseGlContext(HWND window, HDC deviceContext, HGLRC renderingContext) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(renderingContext);
    ReleaseDC(window, deviceContext);
}
