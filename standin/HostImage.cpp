#include "standin/HostImage.hpp"

#include <array>
#include <cstring>
#include <windows.h>

namespace standin {
namespace {

struct Signature {
    Address address;
    std::array<std::uint8_t, 4> bytes;
    std::uint32_t build;
};

// The bytes that identify each build at its probe address.
constexpr std::array<Signature, 7> kSignatures{{
    {0x401000, {0x55, 0x8B, 0xEC, 0x53}, 1001},
    {0x401000, {0xE9, 0x7B, 0x19, 0x16}, 1002},
    {0x8245BC, {0xBF, 0x94, 0x00, 0x00}, 1011},
    {0x8252FC, {0xBF, 0x94, 0x00, 0x00}, 1101},
    {0x82533C, {0xBF, 0x94, 0x00, 0x00}, 1111},
    {0x858D51, {0x33, 0xF6, 0x39, 0x35}, 3200},
    {0x858C61, {0x33, 0xF6, 0x39, 0x35}, 3210},
}};

void* AsPointer(Address address) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(address));
}

void WriteRelative(Address at, std::uint8_t opcode, const void* target) {
    const auto destination = static_cast<Address>(reinterpret_cast<std::uintptr_t>(target));
    const Address displacement = destination - (at + 5);
    std::array<std::uint8_t, 5> bytes{opcode};
    std::memcpy(&bytes[1], &displacement, 4);
    WriteBytes(at, bytes);
}

} // namespace

Address ImageBase() {
    return static_cast<Address>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
}

Address StandInAddress(Address hostAddress) {
    return ImageBase() + hostAddress - kPreferredBase;
}

Address HostCodeBegin() {
    return ImageBase() + 0x1000;
}
Address HostCodeEnd() {
    return kHostCodeEnd;
}

void WriteSignature(std::uint32_t build) {
    static constexpr std::array<std::uint8_t, 4> kZero{};
    for (const Signature& signature : kSignatures) {
        WriteBytes(StandInAddress(signature.address), kZero);
    }
    for (const Signature& signature : kSignatures) {
        if (signature.build == build) {
            WriteBytes(StandInAddress(signature.address), signature.bytes);
        }
    }
}

void WriteBytes(Address processAddress, std::span<const std::uint8_t> bytes) {
    DWORD previous = 0;
    const BOOL opened =
        VirtualProtect(AsPointer(processAddress), bytes.size(), PAGE_EXECUTE_READWRITE, &previous);
    std::memcpy(AsPointer(processAddress), bytes.data(), bytes.size());
    if (opened) {
        VirtualProtect(AsPointer(processAddress), bytes.size(), previous, &previous);
    }
    FlushInstructionCache(GetCurrentProcess(), AsPointer(processAddress), bytes.size());
}

std::vector<std::uint8_t> ReadBytes(Address processAddress, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::memcpy(bytes.data(), AsPointer(processAddress), size);
    return bytes;
}

void WriteCall(Address processAddress, const void* target) {
    WriteRelative(processAddress, 0xE8, target);
}
void WriteJump(Address processAddress, const void* target) {
    WriteRelative(processAddress, 0xE9, target);
}

void WriteReturn(Address processAddress) {
    static constexpr std::array<std::uint8_t, 1> kRet{0xC3};
    WriteBytes(processAddress, kRet);
}

void ProtectHostCode() {
    DWORD previous = 0;
    VirtualProtect(AsPointer(HostCodeBegin()), HostCodeEnd() - HostCodeBegin(), PAGE_EXECUTE_READ, &previous);
}

std::uint32_t ProtectionAt(Address processAddress) {
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(AsPointer(processAddress), &info, sizeof info);
    return info.Protect;
}

HostCodeSnapshot::HostCodeSnapshot() : bytes_(ReadBytes(HostCodeBegin(), HostCodeEnd() - HostCodeBegin())) {}

std::vector<Address> HostCodeSnapshot::ChangedAddresses(std::size_t limit) const {
    std::vector<Address> changed;
    const auto* now = static_cast<const std::uint8_t*>(AsPointer(HostCodeBegin()));
    for (std::size_t i = 0; i < bytes_.size() && changed.size() < limit; ++i) {
        if (now[i] != bytes_[i]) {
            changed.push_back(HostCodeBegin() + static_cast<Address>(i));
        }
    }
    return changed;
}

} // namespace standin
