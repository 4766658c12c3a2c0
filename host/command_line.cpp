#include "host/command_line.h"

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '-' || c == '/';
}

const char* SkipSpaces(const char* text) {
    while (*text == ' ') {
        ++text;
    }
    return text;
}

}  // namespace

const char* NextByte(const char* text) {
    return *text != '\0' ? text + 1 : text;
}

const char* SkipProgramName(const char* text, NextCharFunction next) {
    if (*text == '"') {
        text = next(text);
        while (*text != '\0' && *text != '"') {
            const char* after = next(text);
            // A malformed multibyte tail must not hold the scan in place.
            text = after != text ? after : text + 1;
        }
        if (*text == '"') {
            ++text;
        }
    } else {
        while (static_cast<unsigned char>(*text) > 0x20) {
            ++text;
        }
    }
    while (*text != '\0' && static_cast<unsigned char>(*text) <= 0x20) {
        ++text;
    }
    return text;
}

uint32_t ParseHandle(const char* text) {
    uint32_t value = 0;
    while (*text >= '0' && *text <= '9') {
        value = value * 10u + static_cast<uint32_t>(*text - '0');
        ++text;
    }
    return value;
}

CommandLineChoice ScanCommandLine(const char* text) {
    while (IsSeparator(*text)) {
        ++text;
    }
    switch (*text) {
        case '\0':
            return {SaverAction::kConfigure, 0, false};
        case 'S':
        case 's':
            return {SaverAction::kRunFullScreen, 0, false};
        case 'L':
        case 'l':
        case 'P':
        case 'p':
            return {SaverAction::kPreview, ParseHandle(SkipSpaces(text + 1)), false};
        case 'C':
        case 'c': {
            const char* rest = text + 1;
            const uint32_t owner = *rest == ':' ? ParseHandle(rest + 1) : 0;
            return {SaverAction::kConfigure, owner, true};
        }
        case 'A':
        case 'a':
            return {SaverAction::kChangePassword, ParseHandle(SkipSpaces(text + 1)), false};
        default:
            return {SaverAction::kInvalid, 0, false};
    }
}
