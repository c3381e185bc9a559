#include "tests/end_to_end/PluginInstall.hpp"

#include "tests/support/ChildProcess.hpp"

namespace end_to_end {
namespace {

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 2] = {};
    GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return full;
}

void MakeDirectories(const std::string& path) {
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
        }
    }
}

} // namespace

std::string InstallRoot() {
    // One root per test executable: the suites may run side by side.
    std::string self = testing_support::SelfPath();
    const std::size_t slash = self.find_last_of("\\/");
    std::string name = self.substr(slash + 1);
    name.erase(name.find_last_of('.'));
    return FullPath(self.substr(0, slash + 1) + "e2e\\" + name) + "\\";
}

std::string InstallPlugin(const std::string& folder, const std::string& fileName) {
    const std::string target = InstallRoot() + folder;
    MakeDirectories(target + "\\models");
    CopyFileA(SPEEDOMETER_ASI, (target + "\\" + fileName).c_str(), FALSE);
    CopyFileA(SPEEDOMETER_TXD, (target + "\\models\\speedometer.txd").c_str(), FALSE);
    return target + "\\" + fileName;
}

std::string ModuleDirectory(HMODULE module) {
    char name[MAX_PATH + 1] = {};
    GetModuleFileNameA(module, name, MAX_PATH);
    std::string directory = name;
    return directory.erase(directory.find_last_of("\\/") + 1);
}

ImageRange ImageOf(HMODULE module) {
    const auto base = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(module));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(
        reinterpret_cast<const std::uint8_t*>(module) + dos->e_lfanew);
    return {base, base + nt->OptionalHeader.SizeOfImage};
}

} // namespace end_to_end
