#pragma once
// Host addresses are given in the host executable's preferred image space (base 0x400000).
#include <cstdint>

using HostAddress = std::uint32_t;

inline constexpr HostAddress kHostPreferredBase = 0x400000;

// The host executable's load address, looked up once and cached for the process.
std::uint32_t HostModuleBase();

// The running process's address of a host address: load address + a - 0x400000 (wrapping).
std::uint32_t ToHostAddress(HostAddress a);

// a itself on the supported builds 1001 and 1002, 0 on every other build. Never translates.
HostAddress GlobalAddressByVersion(HostAddress a);

// Whether the process addresses [address, address + size) lie inside the host executable's
// mapped image. Another program may load the plugin too; addresses outside its image are
// never read.
bool HostImageContains(std::uint32_t address, std::uint32_t size);
