#pragma once
// The stand-in host's image: its code range, code signatures and the instructions
// written at host addresses. Addresses are host addresses (preferred base 0x400000)
// unless a name says otherwise; StandInAddress translates to where this executable
// is loaded.
#include <cstdint>
#include <span>
#include <vector>

namespace standin {

using Address = std::uint32_t;

inline constexpr Address kPreferredBase = 0x400000;
inline constexpr Address kHostCodeEnd = 0x859000; // host code ends here; variables lie above

// This executable's load address.
Address ImageBase();

// The process address of a host address in this image.
Address StandInAddress(Address hostAddress);

// The process range that holds host code: from base + 0x1000 up to kHostCodeEnd.
Address HostCodeBegin();
Address HostCodeEnd();

// The build ids the signatures name; 0 writes no signature at all.
inline constexpr std::uint32_t kNoSignature = 0;

// Clears every probe address and writes the given build's signature (translated).
void WriteSignature(std::uint32_t build);

// Writes raw bytes at a process address, opening the protection itself.
void WriteBytes(Address processAddress, std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> ReadBytes(Address processAddress, std::size_t size);

// Real instructions at process addresses.
void WriteCall(Address processAddress, const void* target); // E8 rel32
void WriteJump(Address processAddress, const void* target); // E9 rel32
void WriteReturn(Address processAddress);                   // C3

// Makes the host code range PAGE_EXECUTE_READ, as the real host's code is.
void ProtectHostCode();

// The protection currently in force at a process address.
std::uint32_t ProtectionAt(Address processAddress);

// A copy of the host code range, to prove later that nothing changed.
class HostCodeSnapshot {
public:
    HostCodeSnapshot();
    // The process addresses whose bytes differ now (at most `limit` of them).
    std::vector<Address> ChangedAddresses(std::size_t limit = 64) const;

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace standin
