#include "x11/egl_surface.h"

#include <EGL/eglext.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char* EglErrorName(EGLint code) {
    switch (code) {
        case EGL_SUCCESS:
            return "EGL_SUCCESS";
        case EGL_NOT_INITIALIZED:
            return "EGL_NOT_INITIALIZED";
        case EGL_BAD_ACCESS:
            return "EGL_BAD_ACCESS";
        case EGL_BAD_ALLOC:
            return "EGL_BAD_ALLOC";
        case EGL_BAD_ATTRIBUTE:
            return "EGL_BAD_ATTRIBUTE";
        case EGL_BAD_CONFIG:
            return "EGL_BAD_CONFIG";
        case EGL_BAD_CONTEXT:
            return "EGL_BAD_CONTEXT";
        case EGL_BAD_CURRENT_SURFACE:
            return "EGL_BAD_CURRENT_SURFACE";
        case EGL_BAD_DISPLAY:
            return "EGL_BAD_DISPLAY";
        case EGL_BAD_MATCH:
            return "EGL_BAD_MATCH";
        case EGL_BAD_NATIVE_PIXMAP:
            return "EGL_BAD_NATIVE_PIXMAP";
        case EGL_BAD_NATIVE_WINDOW:
            return "EGL_BAD_NATIVE_WINDOW";
        case EGL_BAD_PARAMETER:
            return "EGL_BAD_PARAMETER";
        case EGL_BAD_SURFACE:
            return "EGL_BAD_SURFACE";
        case EGL_CONTEXT_LOST:
            return "EGL_CONTEXT_LOST";
        default:
            return "unknown EGL error";
    }
}

bool Fail(const char* call, EglSurface& egl, std::string& error) {
    error = std::string("EGL: ") + call + " failed (" + EglErrorName(eglGetError()) + ")";
    ReleaseEglSurface(egl);
    return false;
}

// Whole-word search in a space-separated extension string.
bool HasExtension(const char* list, const char* name) {
    if (list == nullptr) {
        return false;
    }
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) {
            return true;
        }
    }
    return false;
}

EGLint ConfigValue(EGLDisplay display, EGLConfig config, EGLint attribute) {
    EGLint value = -1;
    eglGetConfigAttrib(display, config, attribute, &value);
    return value;
}

// eglChooseConfig treats sizes as minimums and ranks deeper colour first, so it
// would hand out 10-bit channels; keep the first config that has exactly the
// saver's 8/8/8 and no extra buffers, falling back to any 8/8/8 one.
EGLConfig PickExactConfig(EGLDisplay display, const std::vector<EGLConfig>& configs) {
    EGLConfig fallback = nullptr;
    for (EGLConfig config : configs) {
        const bool rgb888 = ConfigValue(display, config, EGL_RED_SIZE) == 8 &&
                            ConfigValue(display, config, EGL_GREEN_SIZE) == 8 &&
                            ConfigValue(display, config, EGL_BLUE_SIZE) == 8;
        if (!rgb888) {
            continue;
        }
        if (ConfigValue(display, config, EGL_ALPHA_SIZE) == 0 &&
            ConfigValue(display, config, EGL_DEPTH_SIZE) == 0 &&
            ConfigValue(display, config, EGL_STENCIL_SIZE) == 0 &&
            ConfigValue(display, config, EGL_SAMPLES) == 0) {
            return config;
        }
        if (fallback == nullptr) {
            fallback = config;
        }
    }
    return fallback;
}

}  // namespace

bool CreateEglSurface(int width, int height, EglSurface& egl, std::string& error) {
    egl = EglSurface{};
    if (width < 1 || height < 1) {
        error = "EGL: the surface size must be at least 1x1";
        return false;
    }
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        error = "EGL: the surfaceless platform (EGL_MESA_platform_surfaceless) is not available";
        return false;
    }
    egl.display =
        eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (egl.display == EGL_NO_DISPLAY) {
        return Fail("eglGetPlatformDisplay", egl, error);
    }
    if (!eglInitialize(egl.display, nullptr, nullptr)) {
        // An uninitialised display needs no eglTerminate.
        egl.display = EGL_NO_DISPLAY;
        return Fail("eglInitialize", egl, error);
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return Fail("eglBindAPI(EGL_OPENGL_API)", egl, error);
    }

    // The saver's pixel format: 8 bits each of red, green and blue, nothing else.
    const EGLint configRequest[] = {EGL_SURFACE_TYPE,
                                    EGL_PBUFFER_BIT,
                                    EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_BIT,
                                    EGL_COLOR_BUFFER_TYPE,
                                    EGL_RGB_BUFFER,
                                    EGL_RED_SIZE,
                                    8,
                                    EGL_GREEN_SIZE,
                                    8,
                                    EGL_BLUE_SIZE,
                                    8,
                                    EGL_ALPHA_SIZE,
                                    0,
                                    EGL_DEPTH_SIZE,
                                    0,
                                    EGL_STENCIL_SIZE,
                                    0,
                                    EGL_NONE};
    EGLint configCount = 0;
    if (!eglChooseConfig(egl.display, configRequest, nullptr, 0, &configCount)) {
        return Fail("eglChooseConfig", egl, error);
    }
    std::vector<EGLConfig> configs(static_cast<size_t>(std::max(configCount, 0)));
    if (configCount > 0 &&
        !eglChooseConfig(egl.display, configRequest, configs.data(), configCount, &configCount)) {
        return Fail("eglChooseConfig", egl, error);
    }
    configs.resize(static_cast<size_t>(std::max(configCount, 0)));
    const EGLConfig config = PickExactConfig(egl.display, configs);
    if (config == nullptr) {
        error = "EGL: no pbuffer configuration with 8-bit RGB for desktop OpenGL";
        ReleaseEglSurface(egl);
        return false;
    }

    const EGLint surfaceRequest[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    egl.surface = eglCreatePbufferSurface(egl.display, config, surfaceRequest);
    if (egl.surface == EGL_NO_SURFACE) {
        return Fail("eglCreatePbufferSurface", egl, error);
    }
    // No version or profile requested: Mesa then gives a compatibility context,
    // which keeps the fixed-function calls the renderer makes.
    egl.context = eglCreateContext(egl.display, config, EGL_NO_CONTEXT, nullptr);
    if (egl.context == EGL_NO_CONTEXT) {
        return Fail("eglCreateContext", egl, error);
    }
    if (!eglMakeCurrent(egl.display, egl.surface, egl.surface, egl.context)) {
        return Fail("eglMakeCurrent", egl, error);
    }
    return true;
}

void ReleaseEglSurface(EglSurface& egl) {
    if (egl.display != EGL_NO_DISPLAY) {
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (egl.context != EGL_NO_CONTEXT) {
            eglDestroyContext(egl.display, egl.context);
        }
        if (egl.surface != EGL_NO_SURFACE) {
            eglDestroySurface(egl.display, egl.surface);
        }
        eglTerminate(egl.display);
        eglReleaseThread();
    }
    egl = EglSurface{};
}

void PresentEglSurface(void* target) {
    const auto* egl = static_cast<const EglSurface*>(target);
    eglSwapBuffers(egl->display, egl->surface);
}
