#pragma once

#include <cstdint>

// The saver's command-line grammar, free of any platform call.

// Advances over one character, keeping multibyte characters whole.
using NextCharFunction = const char* (*)(const char* text);

// One byte forward; the default for single-byte text.
const char* NextByte(const char* text);

// Steps over the program name (quoted, or up to the first byte <= 0x20) and
// the control characters and spaces after it.
const char* SkipProgramName(const char* text, NextCharFunction next);

// Decimal digits to a 32-bit value, modulo 2^32; stops at the first non-digit.
uint32_t ParseHandle(const char* text);

enum class SaverAction {
    kConfigure,       // settings dialog; handle = owner, 0 when none given
    kRunFullScreen,   // full screen
    kPreview,         // preview inside handle (0 when missing)
    kChangePassword,  // password change; handle = owner, 0 when none given
    kInvalid,         // unusable option: exit code -1
};

struct CommandLineChoice {
    SaverAction action = SaverAction::kInvalid;
    uint32_t handle = 0;
    // kConfigure only: false for an empty argument text (no owner at all),
    // true for an explicit C option (owner falls back to the foreground window).
    bool configureOption = false;
};

// The first character that is not ' ', '-' or '/' decides.
CommandLineChoice ScanCommandLine(const char* text);
