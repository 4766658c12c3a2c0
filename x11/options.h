#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "x11/snapshot.h"

// What the command line asks the program to do.
enum class RunMode {
    Window,      // a normal top-level window
    FullScreen,  // the saver proper: covers the screen, ends at the first sign of a user
    Root,        // XScreenSaver: the root window, or the one named by XSCREENSAVER_WINDOW
    WindowId,    // draw into a window another program created
    Snapshot,    // one frame to a PNG file, no display server
    Help,
    Version,
};

struct RunRequest {
    RunMode mode = RunMode::Window;
    unsigned long windowId = 0;  // RunMode::WindowId only
    SnapshotRequest snapshot;    // RunMode::Snapshot only
};

struct ParseResult {
    bool ok = false;
    RunRequest request;
    std::string error;  // one line, without the program name, when !ok
};

// Parses the arguments after the program name. Every option is accepted with
// one dash or two, as XScreenSaver hacks are; values follow as the next
// argument or after '='. --help and --version end parsing where they stand.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// An X window id: decimal or 0x-hexadecimal, nonzero, at most 32 bits.
bool ParseWindowId(const std::string& text, unsigned long& id);

inline constexpr const char* kVersionText = "orrelin 1.0";
inline constexpr const char* kHelpHint = "Try 'orrelin --help'.";
extern const char* const kUsageText;
