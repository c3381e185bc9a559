// Linked into test executables that carry the plugin's code in-process: the plugin's
// host references resolve during static initialisation, so the image must look like
// the host before that. The build comes from HOST_STANDIN_BUILD (default 1001).
#include "standin/HostFunctions.hpp"
#include "standin/HostImage.hpp"

#include <cstdlib>

namespace {

struct EarlySetup {
    EarlySetup() {
        const char* build = std::getenv("HOST_STANDIN_BUILD");
        standin::WriteSignature(
            build != nullptr ? static_cast<std::uint32_t>(std::strtoul(build, nullptr, 10)) : 1001U);
        standin::InstallHostFunctions();
        standin::ProtectHostCode();
    }
};

// Runs before every other static initialiser of the executable.
__attribute__((init_priority(101))) EarlySetup earlySetup;

} // namespace
