#pragma once

// The OpenGL 1.1 and GLU headers. On Windows they need the platform's calling
// convention macros, which windows.h defines.
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>
