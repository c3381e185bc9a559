#pragma once
// Recognises the running host build by code signatures.
#include <cstdint>

using HostVersionId = std::uint32_t;

inline constexpr HostVersionId kHostBuildUnknown = 0;
inline constexpr HostVersionId kHostBuild1001 = 1001;
inline constexpr HostVersionId kHostBuild1002 = 1002;
inline constexpr HostVersionId kHostBuild1011 = 1011;
inline constexpr HostVersionId kHostBuild1101 = 1101;
inline constexpr HostVersionId kHostBuild1111 = 1111;
inline constexpr HostVersionId kHostBuild3200 = 3200;
inline constexpr HostVersionId kHostBuild3210 = 3210;

// The running build, detected on the first call and cached for the life of the process.
HostVersionId CurrentHostVersion();

// Runs the signature probes in order; the first match wins, 0 when none matches.
HostVersionId DetectHostVersion();
