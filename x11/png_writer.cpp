#include "x11/png_writer.h"

#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

struct PngErrorSlot {
    char message[256];
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* slot = static_cast<PngErrorSlot*>(png_get_error_ptr(png));
    std::snprintf(slot->message, sizeof slot->message, "%s", message);
    std::longjmp(png_jmpbuf(png), 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Only trivially destructible locals live here, so libpng's longjmp skips no
// destructor. Returns false with the reason in `slot`.
bool EncodePng(FILE* file, int width, int height, const uint8_t* pixels, PngErrorSlot& slot) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &slot, OnPngError, OnPngWarning);
    if (png == nullptr) {
        std::snprintf(slot.message, sizeof slot.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(slot.message, sizeof slot.message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t stride = static_cast<size_t>(width) * 3;
    for (int row = 0; row < height; ++row) {
        png_write_row(png, pixels + stride * static_cast<size_t>(row));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

std::string SystemError(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

}  // namespace

bool WritePngRgb(const std::string& path, int width, int height, const uint8_t* pixels,
                 std::string& error) {
    if (path.empty()) {
        error = "PNG: no file name given";
        return false;
    }
    if (width < 1 || height < 1 || pixels == nullptr) {
        error = "PNG: nothing to write";
        return false;
    }

    // Beside the target, so the final rename stays on one file system. O_EXCL
    // never reuses a file someone else made; the mode goes through the umask
    // like any file the user creates.
    std::string temporary;
    int descriptor = -1;
    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
        temporary = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno != EEXIST) {
            break;
        }
    }
    if (descriptor < 0) {
        error = SystemError("cannot create", path);
        return false;
    }
    FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        error = SystemError("cannot write", path);
        close(descriptor);
        unlink(temporary.c_str());
        return false;
    }

    PngErrorSlot slot{};
    const bool encoded = EncodePng(file, width, height, pixels, slot);
    // A full disk may only show when the buffered tail is flushed.
    const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
    const int flushErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!encoded) {
        error = "cannot write " + path + ": " + slot.message;
    } else if (!flushed || !closed) {
        errno = flushed ? errno : flushErrno;
        error = SystemError("cannot write", path);
    } else if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = SystemError("cannot write", path);
    } else {
        return true;
    }
    unlink(temporary.c_str());
    return false;
}
