#include "host/command_line.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/next_double_byte.h"

namespace {

struct CommandLineCase {
    const char* label;
    const char* commandLine;  // as the process gets it, program name first
    SaverAction action;
    uint32_t handle;
    bool configureOption;
};

std::string ActionName(SaverAction action) {
    switch (action) {
        case SaverAction::kConfigure:
            return "configure";
        case SaverAction::kRunFullScreen:
            return "full screen";
        case SaverAction::kPreview:
            return "preview";
        case SaverAction::kChangePassword:
            return "change password";
        case SaverAction::kInvalid:
            return "invalid";
    }
    return "?";
}

constexpr SaverAction kConfigure = SaverAction::kConfigure;
constexpr SaverAction kFull = SaverAction::kRunFullScreen;
constexpr SaverAction kPreview = SaverAction::kPreview;
constexpr SaverAction kPassword = SaverAction::kChangePassword;
constexpr SaverAction kInvalid = SaverAction::kInvalid;

const CommandLineCase kCases[] = {
    {"slash s", "Orrelin.scr /s", kFull, 0, false},
    {"dash capital S", "Orrelin.scr -S", kFull, 0, false},
    {"bare s", "Orrelin.scr s", kFull, 0, false},
    {"leading spaces", "Orrelin.scr     /s", kFull, 0, false},
    {"tab and spaces after name", "Orrelin.scr\t \t/s", kFull, 0, false},
    {"mixed separators", "Orrelin.scr -/ -/s", kFull, 0, false},
    {"quoted path with spaces", "\"C:\\Program Files\\My Savers\\Orrelin.scr\" /s", kFull, 0,
     false},
    {"quoted path glued to option", "\"C:\\A B\\Orrelin.scr\"/s", kFull, 0, false},
    {"unterminated quote swallows all", "\"C:\\A B\\Orrelin.scr /s", kConfigure, 0, false},
    {"first option decides", "Orrelin.scr /s /c", kFull, 0, false},
    {"preview handle", "Orrelin.scr /p 1234", kPreview, 1234, false},
    {"preview handle without space", "Orrelin.scr /p1234", kPreview, 1234, false},
    {"preview capital P, several spaces", "Orrelin.scr /P   99", kPreview, 99, false},
    {"L is preview", "Orrelin.scr /l 77", kPreview, 77, false},
    {"preview handle stops at non-digit", "Orrelin.scr /p 12ab34", kPreview, 12, false},
    {"preview wraps modulo 2^32", "Orrelin.scr /p 4294967297", kPreview, 1, false},
    {"preview largest handle", "Orrelin.scr /p 4294967295", kPreview, 4294967295u, false},
    {"preview alone", "Orrelin.scr /p", kPreview, 0, false},
    {"preview zero", "Orrelin.scr /p 0", kPreview, 0, false},
    {"configure with owner", "Orrelin.scr /c:1234", kConfigure, 1234, true},
    {"configure, number without colon", "Orrelin.scr /c 1234", kConfigure, 0, true},
    {"configure, colon then space", "Orrelin.scr /C: 1234", kConfigure, 0, true},
    {"configure alone", "Orrelin.scr /c", kConfigure, 0, true},
    {"empty arguments", "Orrelin.scr", kConfigure, 0, false},
    {"only separators", "Orrelin.scr  - / ", kConfigure, 0, false},
    {"empty command line", "", kConfigure, 0, false},
    {"change password", "Orrelin.scr /a", kPassword, 0, false},
    {"change password with owner", "Orrelin.scr /A 5678", kPassword, 5678, false},
    {"unknown option", "Orrelin.scr /x", kInvalid, 0, false},
    {"digit is no option", "Orrelin.scr 5", kInvalid, 0, false},
    {"tab after separators is no separator", "Orrelin.scr /\ts", kInvalid, 0, false},
};

TEST(CommandLine, TableOfCases) {
    for (const CommandLineCase& c : kCases) {
        SCOPED_TRACE(c.label);
        const char* arguments = SkipProgramName(c.commandLine, NextByte);
        const CommandLineChoice choice = ScanCommandLine(arguments);
        EXPECT_EQ(ActionName(choice.action), ActionName(c.action));
        EXPECT_EQ(choice.handle, c.handle);
        EXPECT_EQ(choice.configureOption, c.configureOption);
    }
}

TEST(CommandLine, QuotedNameStepsWholeCharacters) {
    const char commandLine[] = "\"C:\\\x81\"x\\Orrelin.scr\" /p 42";
    EXPECT_STREQ(SkipProgramName(commandLine, NextDoubleByte), "/p 42");
    // Byte by byte the trail byte ends the quote early.
    EXPECT_STREQ(SkipProgramName(commandLine, NextByte), "x\\Orrelin.scr\" /p 42");
}

}  // namespace
