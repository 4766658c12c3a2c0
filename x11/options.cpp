#include "x11/options.h"

#include <charconv>
#include <optional>
#include <string_view>

const char* const kUsageText =
    "Usage: orrelin [MODE] [OPTION...]\n"
    "A gravitational toy of 30 point masses over a slowly cycling background.\n"
    "\n"
    "Modes (at most one; without one, Orrelin opens an 800x600 window that\n"
    "closes with q, Escape or the window's close button):\n"
    "  --fullscreen         cover the screen; end at a key, a button, pointer\n"
    "                       travel of more than 4 pixels, or loss of focus\n"
    "  --root               draw on the root window, or on the window named by\n"
    "                       XSCREENSAVER_WINDOW (for XScreenSaver); ends on\n"
    "                       SIGTERM or SIGINT\n"
    "  --window-id ID       draw into the existing window ID (decimal or 0x-hex);\n"
    "                       ends on SIGTERM or SIGINT\n"
    "  --snapshot FILE.png  write one frame to a PNG file without a display\n"
    "\n"
    "Snapshot options:\n"
    "  --size WxH           picture size in pixels (default 1024x768, sides 1 to 16384)\n"
    "  --frame N            which frame of a fresh run (default 1, at most 1000000)\n"
    "\n"
    "  --help               show this help and exit\n"
    "  --version            show the version and exit\n"
    "\n"
    "Every option may also be written with a single dash (-root).\n"
    "Exit status: 0 on success, 1 on a run-time failure, 2 on a bad command line.\n";

namespace {

enum class OptionId { FullScreen, Root, WindowId, Snapshot, Size, Frame, Help, Version };

struct OptionInfo {
    std::string_view name;  // without dashes
    OptionId id;
    bool takesValue;
};

constexpr OptionInfo kOptions[] = {
    {"fullscreen", OptionId::FullScreen, false},
    {"root", OptionId::Root, false},
    {"window-id", OptionId::WindowId, true},
    {"snapshot", OptionId::Snapshot, true},
    {"size", OptionId::Size, true},
    {"frame", OptionId::Frame, true},
    {"help", OptionId::Help, false},
    {"version", OptionId::Version, false},
};

const OptionInfo* FindOption(std::string_view name) {
    for (const OptionInfo& option : kOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

std::string Quoted(std::string_view text) {
    // Appended piece by piece: GCC 12's -Wrestrict misfires on "'" + string.
    std::string quoted(1, '\'');
    quoted.append(text);
    quoted.push_back('\'');
    return quoted;
}

// A whole decimal number without sign, or nothing when the text is anything else
// or does not fit.
std::optional<uint64_t> ParseDecimal(std::string_view text) {
    uint64_t value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return std::nullopt;
    }
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

bool ParseSize(std::string_view text, int& width, int& height) {
    const size_t cross = text.find_first_of("xX");
    if (cross == std::string_view::npos) {
        return false;
    }
    const auto w = ParseDecimal(text.substr(0, cross));
    const auto h = ParseDecimal(text.substr(cross + 1));
    if (!w || !h || *w < kMinSnapshotSide || *h < kMinSnapshotSide || *w > kMaxSnapshotSide ||
        *h > kMaxSnapshotSide) {
        return false;
    }
    width = static_cast<int>(*w);
    height = static_cast<int>(*h);
    return true;
}

ParseResult Failure(std::string message) {
    ParseResult result;
    result.error = std::move(message);
    return result;
}

const char* ModeOptionName(RunMode mode) {
    switch (mode) {
        case RunMode::FullScreen:
            return "--fullscreen";
        case RunMode::Root:
            return "--root";
        case RunMode::WindowId:
            return "--window-id";
        case RunMode::Snapshot:
            return "--snapshot";
        default:
            return "";
    }
}

}  // namespace

bool ParseWindowId(const std::string& text, unsigned long& id) {
    std::string_view digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    if (digits.empty() || digits.front() == '+' || digits.front() == '-') {
        return false;
    }
    uint64_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value, base);
    // X resource ids are 32-bit values on the wire; anything wider cannot name a window.
    if (ec != std::errc() || ptr != end || value == 0 || value > 0xFFFFFFFFu) {
        return false;
    }
    id = static_cast<unsigned long>(value);
    return true;
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    RunRequest request;
    bool modeGiven = false;
    const char* sizeGiven = nullptr;
    const char* frameGiven = nullptr;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string_view name = arg;
        if (name.size() < 2 || name[0] != '-') {
            return Failure("unexpected argument " + Quoted(arg));
        }
        name.remove_prefix(name[1] == '-' ? 2 : 1);
        std::optional<std::string> value;
        const size_t equals = name.find('=');
        if (equals != std::string_view::npos) {
            value = std::string(name.substr(equals + 1));
            name = name.substr(0, equals);
        }
        const OptionInfo* option = FindOption(name);
        if (option == nullptr) {
            return Failure("unknown option " + Quoted(arg));
        }
        const std::string shown = "--" + std::string(option->name);
        if (option->takesValue && !value) {
            if (i + 1 >= args.size()) {
                return Failure("option " + Quoted(shown) + " needs a value");
            }
            value = args[++i];
        } else if (!option->takesValue && value) {
            return Failure("option " + Quoted(shown) + " takes no value");
        }

        RunMode mode = RunMode::Window;
        switch (option->id) {
            case OptionId::Help:
                request.mode = RunMode::Help;
                return ParseResult{true, request, {}};
            case OptionId::Version:
                request.mode = RunMode::Version;
                return ParseResult{true, request, {}};
            case OptionId::Size:
                if (sizeGiven) {
                    return Failure("option '--size' is given more than once");
                }
                if (!ParseSize(*value, request.snapshot.width, request.snapshot.height)) {
                    return Failure("invalid size " + Quoted(*value) +
                                   " (expected WxH, each side from 1 to " +
                                   std::to_string(kMaxSnapshotSide) + ")");
                }
                sizeGiven = "--size";
                continue;
            case OptionId::Frame: {
                if (frameGiven) {
                    return Failure("option '--frame' is given more than once");
                }
                const auto frame = ParseDecimal(*value);
                if (!frame || *frame < kMinSnapshotFrame || *frame > kMaxSnapshotFrame) {
                    return Failure("invalid frame number " + Quoted(*value) + " (expected 1 to " +
                                   std::to_string(kMaxSnapshotFrame) + ")");
                }
                request.snapshot.frame = static_cast<int32_t>(*frame);
                frameGiven = "--frame";
                continue;
            }
            case OptionId::FullScreen:
                mode = RunMode::FullScreen;
                break;
            case OptionId::Root:
                mode = RunMode::Root;
                break;
            case OptionId::WindowId:
                mode = RunMode::WindowId;
                if (!ParseWindowId(*value, request.windowId)) {
                    return Failure("invalid window id " + Quoted(*value) +
                                   " (expected a decimal or 0x-hexadecimal number)");
                }
                break;
            case OptionId::Snapshot:
                mode = RunMode::Snapshot;
                if (value->empty()) {
                    return Failure("option '--snapshot' needs a file name");
                }
                request.snapshot.path = *value;
                break;
        }
        if (modeGiven) {
            if (request.mode == mode) {
                return Failure("option " + Quoted(shown) + " is given more than once");
            }
            return Failure("options " + Quoted(ModeOptionName(request.mode)) + " and " +
                           Quoted(shown) + " do not go together");
        }
        request.mode = mode;
        modeGiven = true;
    }

    const char* snapshotOnly = sizeGiven ? sizeGiven : frameGiven;
    if (snapshotOnly && request.mode != RunMode::Snapshot) {
        return Failure("option " + Quoted(snapshotOnly) + " only goes with '--snapshot'");
    }
    return ParseResult{true, request, {}};
}
