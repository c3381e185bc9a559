#pragma once
// The code signatures that identify host builds, in probe order.
#include "host/HostAddress.hpp"
#include "host/HostVersion.hpp"

#include <array>
#include <cstdint>

struct HostSignature {
    HostAddress address;
    std::uint32_t expected; // little-endian 32-bit value of the host code at address
    HostVersionId build;
};

inline constexpr std::array<HostSignature, 7> kHostSignatures{{
    {0x401000, 0x53EC8B55, kHostBuild1001},
    {0x401000, 0x16197BE9, kHostBuild1002},
    {0x8245BC, 0x000094BF, kHostBuild1011},
    {0x8252FC, 0x000094BF, kHostBuild1101},
    {0x82533C, 0x000094BF, kHostBuild1111},
    {0x858D51, 0x3539F633, kHostBuild3200},
    {0x858C61, 0x3539F633, kHostBuild3210},
}};
