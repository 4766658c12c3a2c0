// orrelin: the saver on Linux. A window, the full-screen saver, an XScreenSaver
// hack (--root, --window-id) or a PNG snapshot without any display.
#include <cstdio>
#include <string>
#include <vector>

#include "sim/vector3.h"
#include "x11/options.h"
#include "x11/snapshot.h"
#include "x11/x11_saver.h"

namespace {

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = ParseCommandLine(args);
    if (!parsed.ok) {
        std::fprintf(stderr, "orrelin: %s\n%s\n", parsed.error.c_str(), kHelpHint);
        return kExitUsage;
    }
    const RunRequest& request = parsed.request;
    // Linux saves the SSE registers on every x86 processor that has them, so
    // the processor alone decides.
    ChooseReciprocals(true);
    switch (request.mode) {
        case RunMode::Help:
            std::fputs(kUsageText, stdout);
            return 0;
        case RunMode::Version:
            std::printf("%s\n", kVersionText);
            return 0;
        case RunMode::Snapshot: {
            std::string error;
            if (!WriteSnapshot(request.snapshot, error)) {
                std::fprintf(stderr, "orrelin: %s\n", error.c_str());
                return kExitFailure;
            }
            return 0;
        }
        default:
            return RunX11Saver(request);
    }
}
