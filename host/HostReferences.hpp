#pragma once
// Host references resolved once while the library loads, before the plugin object is
// constructed. On unsupported builds the version gate withholds them.
#include "host/HostAddress.hpp"

#include <cstdint>

// A host variable: one slot, its translated address.
struct HostVariableReference {
    std::uint32_t translated;
};

// A host function: its version-gated address, then its translated address.
struct HostFunctionReference {
    HostAddress gated;
    std::uint32_t translated;
};

HostVariableReference ResolveHostVariable(HostAddress a);
HostFunctionReference ResolveHostFunction(HostAddress a);

// The three references that the overlay reads, through their translated slots.
extern const HostVariableReference DialGateByteReference;   // 0xA444A0: a byte, non-zero lets the dial draw
extern const HostVariableReference DialGateStructReference; // 0xB6F028: a structure; byte +0x3D must be 0
extern const HostFunctionReference LoadTextureDictionaryReference; // 0x5B3860

inline constexpr HostAddress kDialGateByteAddress = 0xA444A0;
inline constexpr HostAddress kDialGateStructAddress = 0xB6F028;
inline constexpr HostAddress kLoadTextureDictionaryAddress = 0x5B3860;
