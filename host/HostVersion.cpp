#include "host/HostVersion.hpp"

#include "host/HostSignatures.hpp"
#include "injector/memory.hpp"

namespace {
bool versionKnown = false;
HostVersionId version = kHostBuildUnknown;
} // namespace

HostVersionId DetectHostVersion() {
    for (const HostSignature& signature : kHostSignatures) {
        const std::uint32_t probe = ToHostAddress(signature.address);
        // Every probe reads afresh. A probe outside the executable's image (the plugin
        // loaded by some other program) is no match, and is not read.
        if (!HostImageContains(probe, sizeof(std::uint32_t))) {
            continue;
        }
        if (injector::read_host_dword(probe) == signature.expected) {
            return signature.build;
        }
    }
    return kHostBuildUnknown;
}

HostVersionId CurrentHostVersion() {
    if (!versionKnown) {
        versionKnown = true;
        version = DetectHostVersion();
    }
    return version;
}
