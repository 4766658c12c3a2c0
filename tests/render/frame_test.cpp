#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "render/gl.h"
#include "render/renderer.h"
#include "sim/scene.h"
#include "tests/render/replay.h"
#include "x11/egl_surface.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 960;
constexpr float kChannelTolerance = 1.0f / 255.0f;

using Rgb = std::array<uint8_t, 3>;

// Frames drawn into an off-screen 1280 x 960 context (large enough that the
// heaviest and lightest bodies start clear of the others), read back bottom row first.
class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(CreateEglSurface(kWidth, kHeight, egl, error)) << error;
    }

    void TearDown() override {
        FreeScene();
        ReleaseEglSurface(egl);
    }

    // What the saver window does when it is created.
    void OpenWindow() {
        gRandom = RandomSource{};
        StartAnimation(kWidth, kHeight);
    }

    void RenderFrames(int32_t count) {
        for (int32_t frame = 0; frame < count; ++frame) {
            RenderFrame(PresentEglSurface, &egl);
        }
    }

    void ReadPixels() {
        pixels.assign(static_cast<size_t>(kWidth) * kHeight * 3, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    Rgb Pixel(int column, int row) const {
        const size_t at = (static_cast<size_t>(row) * kWidth + column) * 3;
        return Rgb{pixels[at], pixels[at + 1], pixels[at + 2]};
    }

    bool IsWhite(int column, int row) const { return Pixel(column, row) == Rgb{255, 255, 255}; }

    bool Inside(int column, int row) const {
        return column >= 0 && row >= 0 && column < kWidth && row < kHeight;
    }

    // Length of the white run through (column, row) along one axis.
    int WhiteRun(int column, int row, int stepX, int stepY) const {
        int length = 0;
        for (int x = column, y = row; Inside(x, y) && IsWhite(x, y); x -= stepX, y -= stepY) {
            ++length;
        }
        for (int x = column + stepX, y = row + stepY; Inside(x, y) && IsWhite(x, y);
             x += stepX, y += stepY) {
            ++length;
        }
        return length;
    }

    EglSurface egl;
    std::vector<uint8_t> pixels;
};

void ExpectColour(const Rgb& pixel, float red, float green, float blue) {
    EXPECT_NEAR(pixel[0] / 255.0f, red, kChannelTolerance);
    EXPECT_NEAR(pixel[1] / 255.0f, green, kChannelTolerance);
    EXPECT_NEAR(pixel[2] / 255.0f, blue, kChannelTolerance);
}

// Pixel width of a square point: the size rounded to the nearest whole pixel,
// where a size halfway between two widths may go either way.
void ExpectedWidths(float size, int& narrowest, int& widest) {
    const float whole = std::floor(size);
    if (size - whole == 0.5f) {
        narrowest = std::max(1, static_cast<int>(whole));
        widest = static_cast<int>(whole) + 1;
    } else {
        narrowest = widest = std::max(1, static_cast<int>(std::lround(size)));
    }
}

struct ClearCase {
    int32_t frame;
    float red;
    float green;
    float blue;
};

void PrintTo(const ClearCase& clear, std::ostream* out) {
    *out << "frame " << clear.frame;
}

class ClearColourTest : public FrameTest, public ::testing::WithParamInterface<ClearCase> {};

TEST_P(ClearColourTest, BackgroundFollowsTheColourCycle) {
    const ClearCase& expected = GetParam();
    const std::vector<DrawnPoint> points = PointsOfFrame(kWidth, kHeight, expected.frame);
    OpenWindow();
    RenderFrames(expected.frame);
    ReadPixels();
    int column = 0;
    int row = 0;
    ASSERT_TRUE(FindBackgroundPixel(points, kWidth, kHeight, 10.0f, column, row));
    ExpectColour(Pixel(column, row), expected.red, expected.green, expected.blue);
}

INSTANTIATE_TEST_SUITE_P(Frames, ClearColourTest,
                         ::testing::Values(ClearCase{1, 0.5055f, 0.507857f, 0.513748f},
                                           ClearCase{2, 0.510999f, 0.515712f, 0.527486f},
                                           ClearCase{100, 0.945604f, 1.0f, 0.690831f}));

class PointsTest : public FrameTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(PointsTest, EachBodyIsAWhiteSquareAtItsPosition) {
    const int32_t frame = GetParam();
    const std::vector<DrawnPoint> points = PointsOfFrame(kWidth, kHeight, frame);
    ASSERT_EQ(points.size(), static_cast<size_t>(kBodyCount));
    OpenWindow();
    RenderFrames(frame);
    ReadPixels();
    int column = 0;
    int row = 0;
    ASSERT_TRUE(FindBackgroundPixel(points, kWidth, kHeight, 10.0f, column, row));
    ASSERT_FALSE(IsWhite(column, row)) << "the background itself is white in this frame";

    // Every pixel well inside a body's square is white.
    for (const DrawnPoint& point : points) {
        int narrowest = 0;
        int widest = 0;
        ExpectedWidths(point.size, narrowest, widest);
        const float inner = std::max(0.0f, narrowest * 0.5f - 1.0f);
        for (int y = static_cast<int>(point.y - inner) - 1; y <= point.y + inner + 1; ++y) {
            for (int x = static_cast<int>(point.x - inner) - 1; x <= point.x + inner + 1; ++x) {
                const bool inside = std::fabs(x + 0.5f - point.x) <= inner &&
                                    std::fabs(y + 0.5f - point.y) <= inner;
                const bool centre = x == static_cast<int>(std::floor(point.x)) &&
                                    y == static_cast<int>(std::floor(point.y));
                if ((inside || centre) && Inside(x, y)) {
                    EXPECT_TRUE(IsWhite(x, y))
                        << "point at (" << point.x << ", " << point.y << ") size " << point.size
                        << ", pixel " << x << "," << y;
                }
            }
        }
    }

    // And nothing else is white.
    int strays = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!IsWhite(x, y)) {
                continue;
            }
            const bool covered =
                std::any_of(points.begin(), points.end(), [&](const DrawnPoint& p) {
                    const float reach = std::ceil(p.size) * 0.5f + 1.0f;
                    return std::fabs(x + 0.5f - p.x) <= reach && std::fabs(y + 0.5f - p.y) <= reach;
                });
            strays += covered ? 0 : 1;
        }
    }
    EXPECT_EQ(strays, 0);
}

INSTANTIATE_TEST_SUITE_P(Frames, PointsTest, ::testing::Values(1, 150));

TEST_F(FrameTest, HeaviestAndLightestBodiesHaveTheirPointSize) {
    constexpr int32_t kFrame = 1;
    const std::vector<DrawnPoint> points = PointsOfFrame(kWidth, kHeight, kFrame);
    OpenWindow();
    RenderFrames(kFrame);
    ReadPixels();
    const auto [lightest, heaviest] = std::minmax_element(
        points.begin(), points.end(),
        [](const DrawnPoint& a, const DrawnPoint& b) { return a.size < b.size; });
    for (const auto body : {lightest, heaviest}) {
        for (const DrawnPoint& other : points) {
            if (&other != &*body) {
                ASSERT_FALSE(std::fabs(other.x - body->x) < 14.0f &&
                             std::fabs(other.y - body->y) < 14.0f)
                    << "another point overlaps the one measured";
            }
        }
        int narrowest = 0;
        int widest = 0;
        ExpectedWidths(body->size, narrowest, widest);
        const int column = static_cast<int>(std::floor(body->x));
        const int row = static_cast<int>(std::floor(body->y));
        for (const int run : {WhiteRun(column, row, 1, 0), WhiteRun(column, row, 0, 1)}) {
            EXPECT_GE(run, narrowest) << "size " << body->size;
            EXPECT_LE(run, widest) << "size " << body->size;
        }
    }
    EXPECT_GT(heaviest->size, lightest->size);
}

TEST_F(FrameTest, OriginIsAtTheBottomLeft) {
    constexpr int32_t kFrame = 150;
    const std::vector<DrawnPoint> points = PointsOfFrame(kWidth, kHeight, kFrame);
    OpenWindow();
    RenderFrames(kFrame);
    ReadPixels();
    // The lowest and the leftmost bodies, compared with where they would be
    // if either axis were flipped. Rows read back from OpenGL count from the bottom.
    const auto lowest =
        std::min_element(points.begin(), points.end(), [](auto& a, auto& b) { return a.y < b.y; });
    const auto leftmost =
        std::min_element(points.begin(), points.end(), [](auto& a, auto& b) { return a.x < b.x; });
    ASSERT_LT(lowest->y, kHeight / 2 - 20);
    ASSERT_LT(leftmost->x, kWidth / 2 - 20);
    for (const auto body : {lowest, leftmost}) {
        const int column = static_cast<int>(std::floor(body->x));
        const int row = static_cast<int>(std::floor(body->y));
        EXPECT_TRUE(IsWhite(column, row));
        EXPECT_FALSE(IsWhite(column, kHeight - 1 - row));
        EXPECT_FALSE(IsWhite(kWidth - 1 - column, row));
    }
}

class MatrixStackTest : public FrameTest, public ::testing::WithParamInterface<int> {};

TEST_P(MatrixStackTest, FrameLeavesTheModelViewStackAsItFoundIt) {
    OpenWindow();
    for (int push = 0; push < GetParam(); ++push) {
        glPushMatrix();
    }
    GLint before = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &before);
    RenderFrames(3);
    GLint after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(before, 1 + GetParam());
    EXPECT_EQ(after, before);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(ExtraPushes, MatrixStackTest, ::testing::Values(0, 1, 5));

TEST_F(FrameTest, ColourCycleRunsOnAcrossTheCounterWrap) {
    // Frame 195,225,787 starts from 11 x 195,225,786, two short of the largest
    // 32-bit value, and ends on a negative counter.
    constexpr int32_t kCounterBefore = 2147483646;
    constexpr int64_t kUnwrapped = int64_t{kCounterBefore} + 11;
    constexpr int32_t kWrapped = static_cast<int32_t>(kUnwrapped - (int64_t{1} << 32));
    const std::vector<DrawnPoint> points = PointsOfFrame(kWidth, kHeight, 1);
    OpenWindow();
    gFrameCounter = kCounterBefore;
    RenderFrames(1);
    EXPECT_EQ(gFrameCounter, kWrapped);
    ReadPixels();
    int column = 0;
    int row = 0;
    ASSERT_TRUE(FindBackgroundPixel(points, kWidth, kHeight, 10.0f, column, row));
    const Rgb pixel = Pixel(column, row);
    const ClearColour wrapped = CycleColour(kWrapped);
    ExpectColour(pixel, wrapped.red, wrapped.green, wrapped.blue);

    // A counter that kept growing would give a clearly different colour.
    const double t = static_cast<double>(kUnwrapped);
    const float unwrapped[] = {static_cast<float>((std::sin(t * double{kRedRate}) + 1.0) * 0.5),
                               static_cast<float>((std::sin(t * double{kGreenRate}) + 1.0) * 0.5),
                               static_cast<float>((std::sin(t * double{kBlueRate}) + 1.0) * 0.5)};
    float largestGap = 0.0f;
    for (int channel = 0; channel < 3; ++channel) {
        largestGap = std::max(largestGap, std::fabs(pixel[channel] / 255.0f - unwrapped[channel]));
    }
    EXPECT_GT(largestGap, 10.0f / 255.0f);
}

}  // namespace
