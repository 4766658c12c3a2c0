#include "x11/snapshot.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "render/renderer.h"
#include "tests/render/replay.h"
#include "x11/png_writer.h"

namespace {

namespace fs = std::filesystem;

struct PngImage {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    int colourType = 0;
    std::vector<uint8_t> rgb;  // rows top first

    const uint8_t* At(int column, int rowFromTop) const {
        return rgb.data() + (static_cast<size_t>(rowFromTop) * width + column) * 3;
    }
};

// Reads an 8-bit RGB PNG with libpng; false when it is not one.
bool ReadPng(const std::string& path, PngImage& image) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    png_image reader{};
    reader.version = PNG_IMAGE_VERSION;
    bool ok = png_image_begin_read_from_stdio(&reader, file) != 0;
    if (ok) {
        image.width = static_cast<int>(reader.width);
        image.height = static_cast<int>(reader.height);
        image.bitDepth = (reader.format & PNG_FORMAT_FLAG_LINEAR) ? 16 : 8;
        image.colourType = reader.format;
        reader.format = PNG_FORMAT_RGB;
        image.rgb.resize(PNG_IMAGE_SIZE(reader));
        ok = png_image_finish_read(&reader, nullptr, image.rgb.data(), 0, nullptr) != 0;
    }
    png_image_free(&reader);
    std::fclose(file);
    return ok;
}

// A private folder per test, removed afterwards.
class SnapshotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "orrelin-snapshot-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }

    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder, fs::perms::owner_all, ignored);
        fs::remove_all(folder, ignored);
    }

    static std::set<std::string> Listing(const fs::path& where) {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(where)) {
            names.insert(entry.path().lexically_relative(where).string());
        }
        return names;
    }

    fs::path folder;
};

struct SizeCase {
    int width;
    int height;
    int32_t frame;
};

void PrintTo(const SizeCase& size, std::ostream* out) {
    *out << size.width << "x" << size.height << " frame " << size.frame;
}

class SnapshotSizeTest : public SnapshotTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(SnapshotSizeTest, WritesAnRgbPngOfTheRequestedSize) {
    const SizeCase& size = GetParam();
    const std::string path = (folder / "frame.png").string();
    std::string error;
    ASSERT_TRUE(WriteSnapshot(SnapshotRequest{path, size.width, size.height, size.frame}, error))
        << error;
    EXPECT_TRUE(error.empty());
    PngImage image;
    ASSERT_TRUE(ReadPng(path, image));
    EXPECT_EQ(image.width, size.width);
    EXPECT_EQ(image.height, size.height);
    EXPECT_EQ(image.colourType, PNG_FORMAT_RGB);
    EXPECT_EQ(image.bitDepth, 8);
    EXPECT_EQ(Listing(folder), std::set<std::string>{"frame.png"});
}

INSTANTIATE_TEST_SUITE_P(Sizes, SnapshotSizeTest,
                         ::testing::Values(SizeCase{kDefaultSnapshotWidth, kDefaultSnapshotHeight,
                                                    kDefaultSnapshotFrame},
                                           SizeCase{1, 1, 1}, SizeCase{37, 23, 3},
                                           SizeCase{1, 300, 2}));

TEST_F(SnapshotTest, ShowsTheRequestedFrameTopRowFirst) {
    // Well into the animation, so the bodies have spread out from the middle.
    constexpr int kWidth = 320;
    constexpr int kHeight = 240;
    constexpr int32_t kFrame = 150;
    const std::vector<DrawnPoint> points = PointsOfFrame(kWidth, kHeight, kFrame);
    const std::string path = (folder / "frame.png").string();
    std::string error;
    ASSERT_TRUE(WriteSnapshot(SnapshotRequest{path, kWidth, kHeight, kFrame}, error)) << error;
    PngImage image;
    ASSERT_TRUE(ReadPng(path, image));
    ASSERT_EQ(image.width, kWidth);
    ASSERT_EQ(image.height, kHeight);

    auto isWhite = [&](int column, int rowFromBottom) {
        const uint8_t* pixel = image.At(column, kHeight - 1 - rowFromBottom);
        return pixel[0] == 255 && pixel[1] == 255 && pixel[2] == 255;
    };
    int whiteCentres = 0;
    for (const DrawnPoint& point : points) {
        const int column = static_cast<int>(std::floor(point.x));
        const int row = static_cast<int>(std::floor(point.y));
        if (column >= 0 && column < kWidth && row >= 0 && row < kHeight) {
            EXPECT_TRUE(isWhite(column, row)) << point.x << ", " << point.y;
            whiteCentres += isWhite(column, row) ? 1 : 0;
        }
    }
    EXPECT_GT(whiteCentres, 0);
    const auto lowest =
        std::min_element(points.begin(), points.end(), [](auto& a, auto& b) { return a.y < b.y; });
    ASSERT_LT(lowest->y, kHeight / 2 - 10);
    EXPECT_FALSE(isWhite(static_cast<int>(lowest->x), kHeight - 1 - static_cast<int>(lowest->y)));

    // The background is the colour of that frame's counter.
    int column = 0;
    int row = 0;
    ASSERT_TRUE(FindBackgroundPixel(points, kWidth, kHeight, 10.0f, column, row));
    const ClearColour colour = CycleColour(kFrame * kFrameCounterStep);
    const uint8_t* pixel = image.At(column, kHeight - 1 - row);
    EXPECT_NEAR(pixel[0] / 255.0f, colour.red, 1.0f / 255.0f);
    EXPECT_NEAR(pixel[1] / 255.0f, colour.green, 1.0f / 255.0f);
    EXPECT_NEAR(pixel[2] / 255.0f, colour.blue, 1.0f / 255.0f);
}

TEST_F(SnapshotTest, ReplacesAnExistingFile) {
    const fs::path path = folder / "frame.png";
    std::FILE* old = std::fopen(path.c_str(), "w");
    ASSERT_NE(old, nullptr);
    std::fputs("not a picture", old);
    std::fclose(old);
    std::string error;
    ASSERT_TRUE(WriteSnapshot(SnapshotRequest{path.string(), 16, 8, 1}, error)) << error;
    PngImage image;
    ASSERT_TRUE(ReadPng(path.string(), image));
    EXPECT_EQ(image.width, 16);
    EXPECT_EQ(Listing(folder), std::set<std::string>{"frame.png"});
}

enum class Place { kMissingFolder, kExistingFolder, kReadOnlyFolder };

void PrintTo(Place place, std::ostream* out) {
    *out << (place == Place::kMissingFolder    ? "missing folder"
             : place == Place::kExistingFolder ? "path is a folder"
                                               : "read-only folder");
}

class UnwritableTest : public SnapshotTest, public ::testing::WithParamInterface<Place> {};

TEST_P(UnwritableTest, FailsWithOneLineAndLeavesNothing) {
    fs::path path;
    switch (GetParam()) {
        case Place::kMissingFolder:
            path = folder / "missing" / "frame.png";
            break;
        case Place::kExistingFolder:
            // The picture itself is written, then cannot take the folder's name.
            path = folder / "frame.png";
            fs::create_directory(path);
            break;
        case Place::kReadOnlyFolder:
            path = folder / "locked" / "frame.png";
            fs::create_directory(folder / "locked");
            fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
            if (access((folder / "locked").c_str(), W_OK) == 0) {
                GTEST_SKIP() << "permissions do not bind this user (root)";
            }
            break;
    }
    const std::set<std::string> before = Listing(folder);
    std::string error;
    EXPECT_FALSE(WriteSnapshot(SnapshotRequest{path.string(), 64, 48, 2}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_EQ(Listing(folder), before);
}

INSTANTIATE_TEST_SUITE_P(Places, UnwritableTest,
                         ::testing::Values(Place::kMissingFolder, Place::kExistingFolder,
                                           Place::kReadOnlyFolder));

class OutOfRangeTest : public SnapshotTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(OutOfRangeTest, IsRefusedBeforeAnythingIsWritten) {
    const SizeCase& size = GetParam();
    std::string error;
    EXPECT_FALSE(WriteSnapshot(
        SnapshotRequest{(folder / "frame.png").string(), size.width, size.height, size.frame},
        error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(Listing(folder).empty());
}

INSTANTIATE_TEST_SUITE_P(Requests, OutOfRangeTest,
                         ::testing::Values(SizeCase{0, 10, 1}, SizeCase{10, -1, 1},
                                           SizeCase{kMaxSnapshotSide + 1, 10, 1},
                                           SizeCase{10, 10, 0}, SizeCase{10, 10, -5},
                                           SizeCase{10, 10, kMaxSnapshotFrame + 1}));

TEST_F(SnapshotTest, WriteThatFailsPartwayLeavesNothing) {
    // Noise does not compress, so the file outgrows a 4 KiB size limit and the
    // write fails in the middle of the picture.
    std::vector<uint8_t> noise(256 * 256 * 3);
    std::mt19937 generator(7);
    for (uint8_t& byte : noise) {
        byte = static_cast<uint8_t>(generator());
    }
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written =
        WritePngRgb((folder / "noise.png").string(), 256, 256, noise.data(), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_TRUE(Listing(folder).empty());
}

}  // namespace
