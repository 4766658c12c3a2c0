// Feeds arbitrary bytes to the command-line scan as the process would get
// them: a NUL-terminated text in a buffer of exactly that length, so any read
// past the terminator is caught by AddressSanitizer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/command_line.h"
#include "tests/support/next_double_byte.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void ScanAll(const char* text, size_t length, NextCharFunction next) {
    const char* rest = SkipProgramName(text, next);
    Check(rest >= text && rest <= text + length);
    const CommandLineChoice choice = ScanCommandLine(rest);
    if (choice.action != SaverAction::kPreview && choice.action != SaverAction::kConfigure &&
        choice.action != SaverAction::kChangePassword) {
        Check(choice.handle == 0);
    }
    ScanCommandLine(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* text = static_cast<char*>(std::malloc(size + 1));
    std::memcpy(text, data, size);
    text[size] = '\0';
    const size_t length = std::strlen(text);

    ScanAll(text, length, NextByte);
    ScanAll(text, length, NextDoubleByte);

    // The handle is the decimal prefix modulo 2^32.
    uint32_t expected = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        expected =
            static_cast<uint32_t>((uint64_t{expected} * 10 + uint64_t(*p - '0')) & 0xFFFFFFFFu);
    }
    Check(ParseHandle(text) == expected);

    std::free(text);
    return 0;
}
