#pragma once
// The host's five patchable call sites, as real x86 code in the stand-in:
// - the three event sites hold `E8 rel32` to a host function that takes nothing and
//   returns a 32-bit value, then `C3`, so executing the site address runs the call;
// - the two text sites sit inside a small host routine that pushes its three cdecl
//   arguments, executes the site's `E8 rel32` to the host's text draw, removes the
//   arguments (the caller cleans up) and returns the result.
// Addresses are host addresses; the code is written at StandInAddress(...).
#include "standin/HostImage.hpp"

#include <array>
#include <cstdint>

namespace standin {

inline constexpr Address kInitSite = 0x5BF3A1;
inline constexpr Address kDrawSite = 0x53E4FF;
inline constexpr Address kShutdownSite = 0x53D910;
inline constexpr Address kTextSiteA = 0x58AE5D;
inline constexpr Address kTextSiteB = 0x58B156;
inline constexpr std::array<Address, 5> kAllCallSites{kInitSite, kDrawSite, kShutdownSite, kTextSiteA,
                                                      kTextSiteB};

// What the host functions behind the event sites return.
inline constexpr std::uint32_t kHostInitResult = 0x11C0FFEE;
inline constexpr std::uint32_t kHostFrameResult = 0x22C0FFEE;
inline constexpr std::uint32_t kHostShutdownResult = 0x33C0FFEE;

// Writes the code at all five sites. Host code must still be writable.
void InstallHostCallSites();

// Run the host's code through each site, as the host does.
std::uint32_t ExecuteInitSite();
std::uint32_t ExecuteDrawSite();
std::uint32_t ExecuteShutdownSite();
std::uint32_t ExecuteTextSiteA(float x, float y, std::uint32_t third);
std::uint32_t ExecuteTextSiteB(float x, float y, std::uint32_t third);

// The process address the 5-byte call at a site currently reaches, or 0 if it holds no E8.
Address CallTargetAt(Address hostSite);

} // namespace standin
