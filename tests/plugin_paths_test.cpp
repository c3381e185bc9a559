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

TEST(PluginPaths, DirectoryIsThatOfTheModuleHoldingThePluginCode) {
    EXPECT_EQ(PluginDirectory(), ExecutableDirectory());
    EXPECT_EQ(PluginDirectory(), PluginDirectory()) << "the same string every time";
    EXPECT_EQ(std::string(PluginFilePath("models\\speedometer.txd")),
              ExecutableDirectory() + "models\\speedometer.txd");
    EXPECT_EQ(std::string(PluginFilePath("x")), ExecutableDirectory() + "x")
        << "each call overwrites the last";
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
    testing_support::ImportSlotSwap<GetModuleHandleExAFn> lookup(importedGetModuleHandleExA,
                                                                 &FailingGetModuleHandleEx);
    testing_support::ImportSlotSwap<MessageBoxAFn> box(importedMessageBoxA, &RecordingMessageBox);
    EXPECT_EQ(PluginDirectory(), ExecutableDirectory()) << "the host executable's directory stands in";
    EXPECT_EQ(PluginDirectory(), ExecutableDirectory());
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
