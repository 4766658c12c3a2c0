#include "x11/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    std::vector<std::string> args;
    // Accepted: the request it must yield. Refused: words the message must contain.
    bool ok = false;
    RunMode mode = RunMode::Window;
    unsigned long windowId = 0;
    std::string path;
    int width = kDefaultSnapshotWidth;
    int height = kDefaultSnapshotHeight;
    int32_t frame = kDefaultSnapshotFrame;
    std::string error;
};

Case Accepts(std::vector<std::string> args, RunMode mode) {
    Case c;
    c.args = std::move(args);
    c.ok = true;
    c.mode = mode;
    return c;
}

Case AcceptsWindowId(std::vector<std::string> args, unsigned long id) {
    Case c = Accepts(std::move(args), RunMode::WindowId);
    c.windowId = id;
    return c;
}

Case AcceptsSnapshot(std::vector<std::string> args, std::string path, int width, int height,
                     int32_t frame) {
    Case c = Accepts(std::move(args), RunMode::Snapshot);
    c.path = std::move(path);
    c.width = width;
    c.height = height;
    c.frame = frame;
    return c;
}

Case Refuses(std::vector<std::string> args, std::string error) {
    Case c;
    c.args = std::move(args);
    c.ok = false;
    c.error = std::move(error);
    return c;
}

std::string Joined(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& arg : args) {
        text += "[" + arg + "]";
    }
    return text;
}

TEST(CommandLine, ParsesEveryFormAndRefusesWhatItCannotRun) {
    const int d = kDefaultSnapshotWidth;
    const int h = kDefaultSnapshotHeight;
    const Case cases[] = {
        Accepts({}, RunMode::Window),
        Accepts({"--fullscreen"}, RunMode::FullScreen),
        Accepts({"-fullscreen"}, RunMode::FullScreen),
        Accepts({"--root"}, RunMode::Root),
        Accepts({"-root"}, RunMode::Root),
        Accepts({"--help"}, RunMode::Help),
        Accepts({"-help"}, RunMode::Help),
        Accepts({"--version"}, RunMode::Version),
        Accepts({"-version"}, RunMode::Version),
        // --help answers at once, whatever follows it.
        Accepts({"--help", "--bogus"}, RunMode::Help),
        Accepts({"--root", "--version"}, RunMode::Version),
        AcceptsWindowId({"--window-id", "0x1a00007"}, 0x1a00007),
        AcceptsWindowId({"-window-id", "0X1A00007"}, 0x1a00007),
        AcceptsWindowId({"-window-id", "27262983"}, 27262983),
        AcceptsWindowId({"--window-id=0x2c"}, 0x2c),
        AcceptsWindowId({"-window-id", "0xffffffff"}, 0xffffffffu),
        AcceptsSnapshot({"--snapshot", "out.png"}, "out.png", d, h, 1),
        AcceptsSnapshot({"-snapshot", "a.png", "-size", "64x48", "-frame", "100"}, "a.png", 64, 48,
                        100),
        AcceptsSnapshot({"--size", "1x1", "--frame=1000000", "--snapshot=b.png"}, "b.png", 1, 1,
                        1000000),
        AcceptsSnapshot({"--snapshot", "c.png", "--size=16384X16384"}, "c.png", 16384, 16384, 1),
        AcceptsSnapshot({"--snapshot", "-dash.png"}, "-dash.png", d, h, 1),

        Refuses({"--bogus"}, "unknown option '--bogus'"),
        Refuses({"-s"}, "unknown option '-s'"),
        Refuses({"--"}, "unknown option '--'"),
        Refuses({"fullscreen"}, "unexpected argument 'fullscreen'"),
        Refuses({"-"}, "unexpected argument '-'"),
        Refuses({"--bogus", "--help"}, "unknown option '--bogus'"),
        Refuses({"--root=1"}, "'--root' takes no value"),
        Refuses({"--window-id"}, "'--window-id' needs a value"),
        Refuses({"--snapshot"}, "'--snapshot' needs a value"),
        Refuses({"--snapshot="}, "'--snapshot' needs a file name"),
        Refuses({"--snapshot", "a.png", "--size"}, "'--size' needs a value"),
        Refuses({"--snapshot", "a.png", "--frame"}, "'--frame' needs a value"),
        Refuses({"--window-id", "0"}, "invalid window id '0'"),
        Refuses({"--window-id", "0x"}, "invalid window id '0x'"),
        Refuses({"--window-id", "-5"}, "invalid window id '-5'"),
        Refuses({"--window-id", "+5"}, "invalid window id '+5'"),
        Refuses({"--window-id", "12abc"}, "invalid window id '12abc'"),
        Refuses({"--window-id", "0x100000000"}, "invalid window id '0x100000000'"),
        Refuses({"--window-id", "99999999999999999999999"}, "invalid window id"),
        Refuses({"--snapshot", "a.png", "--size", "0x10"}, "invalid size '0x10'"),
        Refuses({"--snapshot", "a.png", "--size", "10x0"}, "invalid size '10x0'"),
        Refuses({"--snapshot", "a.png", "--size", "16385x10"}, "invalid size '16385x10'"),
        Refuses({"--snapshot", "a.png", "--size", "10x99999999999"}, "invalid size"),
        Refuses({"--snapshot", "a.png", "--size", "-10x10"}, "invalid size '-10x10'"),
        Refuses({"--snapshot", "a.png", "--size", "10x+10"}, "invalid size '10x+10'"),
        Refuses({"--snapshot", "a.png", "--size", "640"}, "invalid size '640'"),
        Refuses({"--snapshot", "a.png", "--size", "640x480x2"}, "invalid size '640x480x2'"),
        Refuses({"--snapshot", "a.png", "--size", " 640x480"}, "invalid size"),
        Refuses({"--snapshot", "a.png", "--frame", "0"}, "invalid frame number '0'"),
        Refuses({"--snapshot", "a.png", "--frame", "-1"}, "invalid frame number '-1'"),
        Refuses({"--snapshot", "a.png", "--frame", "1000001"}, "invalid frame number '1000001'"),
        Refuses({"--snapshot", "a.png", "--frame", "3.5"}, "invalid frame number '3.5'"),
        Refuses({"--snapshot", "a.png", "--frame", "2", "--frame", "3"},
                "'--frame' is given more than once"),
        Refuses({"--snapshot", "a.png", "--size", "2x2", "-size", "3x3"},
                "'--size' is given more than once"),
        Refuses({"--root", "--root"}, "'--root' is given more than once"),
        Refuses({"--fullscreen", "--root"}, "'--fullscreen' and '--root' do not go together"),
        Refuses({"--root", "-window-id", "5"}, "'--root' and '--window-id' do not go together"),
        Refuses({"--snapshot", "a.png", "--fullscreen"},
                "'--snapshot' and '--fullscreen' do not go together"),
        Refuses({"--size", "10x10"}, "'--size' only goes with '--snapshot'"),
        Refuses({"--fullscreen", "--frame", "3"}, "'--frame' only goes with '--snapshot'"),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Joined(c.args));
        const ParseResult result = ParseCommandLine(c.args);
        ASSERT_EQ(result.ok, c.ok) << result.error;
        if (!c.ok) {
            EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
            EXPECT_EQ(result.error.find('\n'), std::string::npos);
            continue;
        }
        EXPECT_EQ(result.request.mode, c.mode);
        EXPECT_EQ(result.request.windowId, c.windowId);
        if (c.mode == RunMode::Snapshot) {
            EXPECT_EQ(result.request.snapshot.path, c.path);
            EXPECT_EQ(result.request.snapshot.width, c.width);
            EXPECT_EQ(result.request.snapshot.height, c.height);
            EXPECT_EQ(result.request.snapshot.frame, c.frame);
        }
    }
}

}  // namespace
