#include "tests/support/ChildProcess.hpp"

#include <cstring>
#include <windows.h>

namespace testing_support {
namespace {

std::vector<char> EnvironmentBlock(const std::vector<std::string>& additions) {
    std::vector<char> block;
    for (const std::string& entry : additions) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back('\0');
    }
    char* current = GetEnvironmentStringsA();
    for (const char* p = current; *p != '\0'; p += std::strlen(p) + 1) {
        block.insert(block.end(), p, p + std::strlen(p) + 1);
    }
    FreeEnvironmentStringsA(current);
    block.push_back('\0');
    return block;
}

} // namespace

std::string SelfPath() {
    char name[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    return name;
}

ChildResult RunChild(const std::string& commandLine, const std::vector<std::string>& environment) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    std::vector<char> block = EnvironmentBlock(environment);

    ChildResult result;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, block.data(), nullptr, &startup,
                        &process)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        result.exitCode = 0xFFFFFFFF;
        result.output = std::string("CreateProcess failed for: ").append(commandLine);
        return result;
    }
    CloseHandle(writeEnd);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got != 0) {
        result.output.append(buffer, got);
    }
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = code;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

ChildResult RunTestInFreshProcess(const std::string& testName, const std::vector<std::string>& environment) {
    std::string line = "\"";
    line.append(SelfPath()).append("\" --gtest_also_run_disabled_tests --gtest_filter=").append(testName);
    return RunChild(line, environment);
}

} // namespace testing_support

namespace testing_support {
bool RanOneTestAndPassed(const ChildResult& result) {
    return result.exitCode == 0 && result.output.find("[  PASSED  ] 1 test.") != std::string::npos;
}
} // namespace testing_support
