#pragma once

// A stepper like CharNextA on a double-byte code page: a lead byte (0x81 and
// up) takes its trail byte along, so a quote that is a trail byte does not end
// a quoted program name.
inline const char* NextDoubleByte(const char* text) {
    if (*text == '\0') {
        return text;
    }
    if (static_cast<unsigned char>(*text) >= 0x81 && text[1] != '\0') {
        return text + 2;
    }
    return text + 1;
}
