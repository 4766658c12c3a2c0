#include "render/renderer.h"

#include <cmath>

#include "render/gl.h"
#include "sim/gravity.h"

int32_t gFrameCounter = 0;

int32_t NextFrameCounter(int32_t counter) {
    // Unsigned addition wraps without undefined behaviour; the conversion back
    // is modular, so the counter runs on into negative values.
    return static_cast<int32_t>(static_cast<uint32_t>(counter) +
                                static_cast<uint32_t>(kFrameCounterStep));
}

namespace {

float Wave(double t, float rate) {
    return static_cast<float>((std::sin(t * static_cast<double>(rate)) + 1.0) * 0.5);
}

void DrawPoint(float x, float y, float size) {
    glPointSize(size);
    glBegin(GL_POINTS);
    glVertex3f(x, y, 0.0f);
    glEnd();
}

}  // namespace

ClearColour CycleColour(int32_t counter) {
    const double t = counter;
    return ClearColour{Wave(t, kRedRate), Wave(t, kGreenRate), Wave(t, kBlueRate)};
}

void SetUpView(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, width, 0.0, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
}

void StartAnimation(int width, int height) {
    SetUpView(width, height);
    gFrameCounter = 0;
    InitScene(width, height);
    glColor3f(1.0f, 1.0f, 1.0f);
}

void RenderFrame(PresentFrame present, void* target) {
    gFrameCounter = NextFrameCounter(gFrameCounter);
    const ClearColour colour = CycleColour(gFrameCounter);
    glClearColor(colour.red, colour.green, colour.blue, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    ComputeAccelerations();
    glColor3f(1.0f, 1.0f, 1.0f);
    AdvanceAndDraw(DrawPoint);
    glPopMatrix();
    glFinish();
    present(target);
}
