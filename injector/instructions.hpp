#pragma once
// The x86 encodings that the patching layer reads and writes.
#include <cstdint>

namespace injector {

inline constexpr std::uint8_t kCallRel32 = 0xE8;         // E8 rel32
inline constexpr std::uint8_t kJumpRel32 = 0xE9;         // E9 rel32
inline constexpr std::uint8_t kIndirectGroup = 0xFF;     // FF /2 call, FF /4 jump
inline constexpr std::uint8_t kModRmCallAbsolute = 0x15; // FF 15 [disp32]
inline constexpr std::uint8_t kModRmJumpAbsolute = 0x25; // FF 25 [disp32]

#pragma pack(push, 1)
struct RelativeCall { // E8 rel32: calls site + 5 + rel32
    std::uint8_t opcode;
    std::int32_t displacement;
};
#pragma pack(pop)
static_assert(sizeof(RelativeCall) == 5);

// The rel32 that makes a 5-byte branch at site reach destination (wraps modulo 2^32).
constexpr std::int32_t relative_displacement(std::uint32_t site, std::uint32_t destination) {
    return static_cast<std::int32_t>(destination - (site + sizeof(RelativeCall)));
}

// Where a 5-byte branch at site with the given rel32 lands (wraps modulo 2^32).
constexpr std::uint32_t relative_destination(std::uint32_t site, std::uint32_t displacement) {
    return site + static_cast<std::uint32_t>(sizeof(RelativeCall)) + displacement;
}

} // namespace injector
