// Loading the system's password check, with stand-in PASSWORD.CPL modules
// found through the DLL search path and the user's registry switch in the
// test prefix.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host/password_module.h"
#include "host/saver_state.h"
#include "tests/windows/chain_test_support.h"

namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kSwitchValue[] = "ScreenSaveUsePassword";
constexpr UINT kGetScreenSaverRunning = 114;
constexpr UINT kSetScreenSaverRunning = 97;

std::string ModuleFolder(const char* name) {
    const char* base = std::getenv("ORRELIN_TEST_MODULES");
    return std::string(base != nullptr ? base : ".") + "\\" + name;
}

int SaverRunningFlag() {
    BOOL running = FALSE;
    SystemParametersInfoA(kGetScreenSaverRunning, 0, &running, 0);
    return running ? 1 : 0;
}

void SetSaverRunningFlag(int flag) {
    UINT previous = 0;
    SystemParametersInfoA(kSetScreenSaverRunning, static_cast<UINT>(flag), &previous, 0);
}

enum class Switch { kAbsent, kZero, kOne, kOneAsBinary };

void SetSwitch(Switch value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kDesktopKey, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, kSwitchValue);
    DWORD number = value == Switch::kZero ? 0 : 1;
    if (value == Switch::kZero || value == Switch::kOne) {
        RegSetValueExA(key, kSwitchValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                       sizeof number);
    } else if (value == Switch::kOneAsBinary) {
        RegSetValueExA(key, kSwitchValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&number),
                       sizeof number);
    }
    RegCloseKey(key);
}

bool ModuleIsLoaded(const std::string& folder) {
    return GetModuleHandleA((folder + "\\PASSWORD.CPL").c_str()) != nullptr;
}

class PasswordModule : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSaverState();
        gSaverState.onWin9x = 1;
        SetSaverRunningFlag(0);
        ASSERT_EQ(SaverRunningFlag(), 0) << "the saver-running flag cannot be read back";
        // No PASSWORD.CPL lies beside the test program or in the system
        // folders, so the one in this folder is the one found.
        UseFolder("password");
    }
    void TearDown() override {
        UnloadPasswordModule();
        SetSwitch(Switch::kAbsent);
        SetDllDirectoryA(nullptr);
        SetSaverRunningFlag(0);
        ResetSaverState();
    }

    void UseFolder(const char* name) {
        folder_ = ModuleFolder(name);
        ASSERT_TRUE(SetDllDirectoryA(folder_.c_str()));
    }

    std::string folder_;
};

TEST_F(PasswordModule, RegistrySwitchDecides) {
    struct Case {
        const char* name;
        Switch value;
        bool loads;
    };
    const Case cases[] = {
        {"value absent", Switch::kAbsent, false},
        {"value 0", Switch::kZero, false},
        {"value 1", Switch::kOne, true},
        // The value's type is not examined.
        {"value 1 as binary", Switch::kOneAsBinary, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetSwitch(c.value);
        LoadPasswordModule();
        if (c.loads) {
            EXPECT_NE(gSaverState.passwordModule, nullptr);
            ASSERT_NE(gSaverState.verifyPassword, nullptr);
            EXPECT_TRUE(ModuleIsLoaded(folder_));
            EXPECT_EQ(SaverRunningFlag(), 1);
        } else {
            EXPECT_EQ(gSaverState.passwordModule, nullptr);
            EXPECT_EQ(gSaverState.verifyPassword, nullptr);
            EXPECT_FALSE(ModuleIsLoaded(folder_));
            EXPECT_EQ(SaverRunningFlag(), 0);
        }
        UnloadPasswordModule();
        EXPECT_EQ(gSaverState.passwordModule, nullptr);
        EXPECT_EQ(gSaverState.verifyPassword, nullptr);
        EXPECT_FALSE(ModuleIsLoaded(folder_));
        EXPECT_EQ(SaverRunningFlag(), 0);
    }
}

TEST_F(PasswordModule, LoadedFunctionIsTheModulesVerifyFunction) {
    SetSwitch(Switch::kOne);
    LoadPasswordModule();
    ASSERT_NE(gSaverState.passwordModule, nullptr);
    EXPECT_EQ(
        reinterpret_cast<void*>(gSaverState.verifyPassword),
        reinterpret_cast<void*>(GetProcAddress(gSaverState.passwordModule, "VerifyScreenSavePwd")));
}

TEST_F(PasswordModule, ModuleWithoutVerifyFunctionIsUnloadedAndNothingIsFlagged) {
    UseFolder("password-noverify");
    SetSwitch(Switch::kOne);
    LoadPasswordModule();
    EXPECT_EQ(gSaverState.passwordModule, nullptr);
    EXPECT_EQ(gSaverState.verifyPassword, nullptr);
    EXPECT_FALSE(ModuleIsLoaded(folder_));
    EXPECT_EQ(SaverRunningFlag(), 0);
}

TEST_F(PasswordModule, MissingModuleLeavesTheSaverUnprotected) {
    UseFolder("no-such-folder");
    SetSwitch(Switch::kOne);
    LoadPasswordModule();
    EXPECT_EQ(gSaverState.passwordModule, nullptr);
    EXPECT_EQ(gSaverState.verifyPassword, nullptr);
    EXPECT_EQ(SaverRunningFlag(), 0);
}

TEST_F(PasswordModule, LoadingAgainUnloadsTheFirstModuleFirst) {
    SetSwitch(Switch::kOne);
    LoadPasswordModule();
    const std::string first = folder_;
    ASSERT_TRUE(ModuleIsLoaded(first));
    ASSERT_EQ(SaverRunningFlag(), 1);
    // The second load finds a module without the function: only an unload of
    // the first one before it can have cleared the running flag.
    UseFolder("password-noverify");
    LoadPasswordModule();
    EXPECT_FALSE(ModuleIsLoaded(first));
    EXPECT_EQ(gSaverState.passwordModule, nullptr);
    EXPECT_EQ(gSaverState.verifyPassword, nullptr);
    EXPECT_EQ(SaverRunningFlag(), 0);
}

TEST_F(PasswordModule, NtFamilyLoadsNothing) {
    gSaverState.onWin9x = 0;
    SetSwitch(Switch::kOne);
    LoadPasswordModule();
    EXPECT_EQ(gSaverState.passwordModule, nullptr);
    EXPECT_EQ(gSaverState.verifyPassword, nullptr);
    EXPECT_FALSE(ModuleIsLoaded(folder_));
    SetSaverRunning(1);
    EXPECT_EQ(SaverRunningFlag(), 0);
}

}  // namespace
