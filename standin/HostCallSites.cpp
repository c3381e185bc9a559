#include "standin/HostCallSites.hpp"

#include "standin/HostFunctions.hpp"

#include <cstring>
#include <vector>

namespace standin {
namespace {

constexpr Address kDrawTextAAt = 0x71A820;
constexpr Address kDrawTextBAt = 0x71A700;

// push dword [esp+12] three times: copies the caller's (x, y, third) in order.
constexpr std::size_t kPushArgumentsSize = 12;

void* __cdecl HostInit() {
    RecordHostCall(HostFunction::InitCall);
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(kHostInitResult));
}

void* __cdecl HostFrame() {
    RecordHostCall(HostFunction::FrameCall);
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(kHostFrameResult));
}

void* __cdecl HostShutdown() {
    RecordHostCall(HostFunction::ShutdownCall);
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(kHostShutdownResult));
}

void WriteEventSite(Address hostSite, void* (*function)()) {
    const Address site = StandInAddress(hostSite);
    WriteCall(site, reinterpret_cast<const void*>(function));
    WriteReturn(site + 5);
}

void WriteTextSite(Address hostSite, Address drawText) {
    const Address site = StandInAddress(hostSite);
    static constexpr std::uint8_t kPushArguments[kPushArgumentsSize] = {0xFF, 0x74, 0x24, 0x0C, 0xFF, 0x74,
                                                                        0x24, 0x0C, 0xFF, 0x74, 0x24, 0x0C};
    WriteBytes(site - kPushArgumentsSize, kPushArguments);
    WriteCall(site, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(drawText)));
    static constexpr std::uint8_t kCleanUp[] = {0x83, 0xC4, 0x0C, 0xC3}; // add esp, 12; ret
    WriteBytes(site + 5, kCleanUp);
}

std::uint32_t ExecuteEventSite(Address hostSite) {
    using Site = std::uint32_t(__cdecl*)();
    return reinterpret_cast<Site>(static_cast<std::uintptr_t>(StandInAddress(hostSite)))();
}

std::uint32_t ExecuteTextSite(Address hostSite, float x, float y, std::uint32_t third) {
    using Routine = std::uint32_t(__cdecl*)(float, float, std::uint32_t);
    const Address entry = StandInAddress(hostSite) - kPushArgumentsSize;
    return reinterpret_cast<Routine>(static_cast<std::uintptr_t>(entry))(x, y, third);
}

} // namespace

void InstallHostCallSites() {
    WriteEventSite(kInitSite, &HostInit);
    WriteEventSite(kDrawSite, &HostFrame);
    WriteEventSite(kShutdownSite, &HostShutdown);
    WriteTextSite(kTextSiteA, kDrawTextAAt);
    WriteTextSite(kTextSiteB, kDrawTextBAt);
}

std::uint32_t ExecuteInitSite() {
    return ExecuteEventSite(kInitSite);
}
std::uint32_t ExecuteDrawSite() {
    return ExecuteEventSite(kDrawSite);
}
std::uint32_t ExecuteShutdownSite() {
    return ExecuteEventSite(kShutdownSite);
}
std::uint32_t ExecuteTextSiteA(float x, float y, std::uint32_t third) {
    return ExecuteTextSite(kTextSiteA, x, y, third);
}
std::uint32_t ExecuteTextSiteB(float x, float y, std::uint32_t third) {
    return ExecuteTextSite(kTextSiteB, x, y, third);
}

Address CallTargetAt(Address hostSite) {
    const std::vector<std::uint8_t> bytes = ReadBytes(StandInAddress(hostSite), 5);
    if (bytes[0] != 0xE8) {
        return 0;
    }
    std::uint32_t displacement = 0;
    std::memcpy(&displacement, &bytes[1], 4);
    return StandInAddress(hostSite) + 5 + displacement;
}

} // namespace standin
