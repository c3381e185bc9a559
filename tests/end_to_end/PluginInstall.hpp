#pragma once
// Installs the shipped plugin file and its artwork into a folder of its own, as a modder
// would, and loads it the way a plugin loader does.
#include <string>
#include <windows.h>

namespace end_to_end {

// The folder installations go below: <this executable's folder>\e2e\<its name>\.
std::string InstallRoot();

// Copies the built plugin (under the given file name) and models\speedometer.txd into
// InstallRoot()\<folder>; returns the plugin's full path.
std::string InstallPlugin(const std::string& folder, const std::string& fileName = "speedometer.asi");

// The folder part of a module's file name, with its trailing separator.
std::string ModuleDirectory(HMODULE module);

// The process address range of a loaded module's image.
struct ImageRange {
    std::uint32_t begin;
    std::uint32_t end;
    bool Contains(std::uint32_t address) const { return address >= begin && address < end; }
};
ImageRange ImageOf(HMODULE module);

} // namespace end_to_end
