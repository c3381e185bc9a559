// The plugin's own directory and paths relative to it. Here the plugin's code lives
// in this test executable, so "the plugin's module" is this executable.
#include "host/PluginPaths.hpp"
#include "tests/support/ChildProcess.hpp"
#include "tests/support/ImportSlot.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using GetModuleHandleExAFn = BOOL(WINAPI*)(DWORD, LPCSTR, HMODULE*);
using MessageBoxAFn = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
using GetModuleFileNameAFn = DWORD(WINAPI*)(HMODULE, LPSTR, DWORD);
extern "C" GetModuleHandleExAFn importedGetModuleHandleExA __asm__("__imp__GetModuleHandleExA@12");
extern "C" MessageBoxAFn importedMessageBoxA __asm__("__imp__MessageBoxA@16");
extern "C" GetModuleFileNameAFn importedGetModuleFileNameA __asm__("__imp__GetModuleFileNameA@12");

namespace {

struct CutCase {
    const char* name;
    const char* expected;
};

class CutAfterLastSeparatorTest : public testing::TestWithParam<CutCase> {};

TEST_P(CutAfterLastSeparatorTest, KeepsEverythingUpToTheRightmostSeparator) {
    std::string buffer = GetParam().name;
    CutAfterLastSeparator(buffer.data());
    EXPECT_STREQ(buffer.c_str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ModuleNames, CutAfterLastSeparatorTest,
    testing::Values(CutCase{"C:\\Games\\Host\\scripts\\overlay.dll", "C:\\Games\\Host\\scripts\\"},
                    CutCase{"C:\\Games/Host\\scripts/overlay.dll", "C:\\Games/Host\\scripts/"},
                    CutCase{"C:/Games/Host\\scripts\\overlay.dll", "C:/Games/Host\\scripts\\"},
                    CutCase{"overlay.dll", "overlay.dll"}, CutCase{"", ""}));

std::string ExecutableDirectory() {
    std::string name = testing_support::SelfPath();
    name.erase(name.find_last_of("\\/") + 1);
    return name;
}

std::vector<HMODULE> nameLookups;
GetModuleFileNameAFn realGetModuleFileNameA = nullptr;

DWORD WINAPI RecordingGetModuleFileName(HMODULE module, LPSTR name, DWORD size) {
    nameLookups.push_back(module);
    return realGetModuleFileNameA(module, name, size);
}

// In a fresh process: the directory is computed once per process, on the first call.
TEST(FreshProcess, DISABLED_DirectoryIsLookedUpOnceFromThePluginsOwnModule) {
    const std::string expected = ExecutableDirectory(); // before the lookups are recorded
    testing_support::ImportSlotSwap<GetModuleFileNameAFn> lookup(importedGetModuleFileNameA,
                                                                 &RecordingGetModuleFileName);
    realGetModuleFileNameA = lookup.original();
    EXPECT_EQ(PluginDirectory(), expected);
    // The plugin's code lives in this executable here, so its module is this executable's.
    EXPECT_EQ(nameLookups, std::vector<HMODULE>{GetModuleHandleA(nullptr)});
    EXPECT_EQ(std::string(PluginFilePath("models\\speedometer.txd")), expected + "models\\speedometer.txd");
    EXPECT_EQ(std::string(PluginFilePath("x")), expected + "x") << "each call overwrites the last";
    EXPECT_EQ(PluginDirectory(), expected);
    EXPECT_EQ(nameLookups.size(), 1U) << "later calls make no system call";
}

TEST(PluginPaths, DirectoryIsLookedUpOnceFromThePluginsOwnModule) {
    const auto result = testing_support::RunTestInFreshProcess(
        "FreshProcess.DISABLED_DirectoryIsLookedUpOnceFromThePluginsOwnModule");
    EXPECT_TRUE(testing_support::RanOneTestAndPassed(result)) << result.output;
}

TEST(PluginPaths, APathThatWouldNotFitIsRefusedNotCutShort) {
    const std::size_t room = 260 - std::string(PluginDirectory()).size();
    const std::string fits(room, 'a');
    const std::string tooLong(room + 1, 'a');
    ASSERT_NE(PluginFilePath(fits.c_str()), nullptr);
    EXPECT_EQ(std::string(PluginFilePath(fits.c_str())).size(), 260U);
    EXPECT_EQ(PluginFilePath(tooLong.c_str()), nullptr);
}

struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};
std::vector<Box> boxes;

BOOL WINAPI FailingGetModuleHandleEx(DWORD, LPCSTR, HMODULE* module) {
    *module = nullptr;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
}

int WINAPI RecordingMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    boxes.push_back({owner, text, caption, style});
    return IDOK;
}

// In a fresh process: the directory is computed once per process.
TEST(FreshProcess, DISABLED_FailedModuleLookupShowsOneBoxAndFallsBackToTheExecutable) {
    const std::string expected = ExecutableDirectory(); // before the lookups are recorded
    testing_support::ImportSlotSwap<GetModuleHandleExAFn> lookup(importedGetModuleHandleExA,
                                                                 &FailingGetModuleHandleEx);
    testing_support::ImportSlotSwap<MessageBoxAFn> box(importedMessageBoxA, &RecordingMessageBox);
    testing_support::ImportSlotSwap<GetModuleFileNameAFn> name(importedGetModuleFileNameA,
                                                               &RecordingGetModuleFileName);
    realGetModuleFileNameA = name.original();
    EXPECT_EQ(PluginDirectory(), expected);
    EXPECT_EQ(nameLookups, std::vector<HMODULE>{nullptr}) << "the null handle names the host executable";
    EXPECT_EQ(PluginDirectory(), expected);
    ASSERT_EQ(boxes.size(), 1U) << "at most one box per process";
    EXPECT_EQ(boxes[0].text, "FILESYSTEM\nFailed to retrieve plugin dir path");
    EXPECT_EQ(boxes[0].caption, "quillon");
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(boxes[0].owner, GetActiveWindow());
}

TEST(PluginPaths, FailedModuleLookupShowsOneBoxAndFallsBackToTheExecutable) {
    const auto result = testing_support::RunTestInFreshProcess(
        "FreshProcess.DISABLED_FailedModuleLookupShowsOneBoxAndFallsBackToTheExecutable");
    EXPECT_TRUE(testing_support::RanOneTestAndPassed(result)) << result.output;
}

// A module name longer than the buffer comes back cut short, as the system does it: the
// buffer filled, the last character the terminator, the full size returned.
DWORD WINAPI CutShortModuleFileName(HMODULE, LPSTR name, DWORD size) {
    const std::string longName = "C:\\games\\" + std::string(300, 'x') + "\\scripts\\speedometer.asi";
    longName.copy(name, size - 1);
    name[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

TEST(FreshProcess, DISABLED_AModuleNameCutShortComposesNoPath) {
    testing_support::ImportSlotSwap<GetModuleFileNameAFn> name(importedGetModuleFileNameA,
                                                               &CutShortModuleFileName);
    EXPECT_EQ(PluginFilePath("models\\speedometer.txd"), nullptr)
        << "the cut name's last separator would name some parent folder";
}

TEST(PluginPaths, AModuleNameCutShortComposesNoPath) {
    const auto result =
        testing_support::RunTestInFreshProcess("FreshProcess.DISABLED_AModuleNameCutShortComposesNoPath");
    EXPECT_TRUE(testing_support::RanOneTestAndPassed(result)) << result.output;
}

} // namespace
