#pragma once
// What the dial draws, as plain functions of numbers: each layer's screen rectangle on a
// given screen, its atlas region, the needle and band angles, the read-out digits and the
// gear badge's colour and glyph cell.
#include "host/HostGame.hpp"
#include "speedometer/ScreenGeometry.hpp"

#include <array>
#include <cstdint>

// Atlas regions (texels of the 1024 x 512 atlas).
inline constexpr AtlasRect kDialFaceAtlas{0, 0, 291, 291};
inline constexpr AtlasRect kSpeedBandAtlas{291, 0, 582, 291};
inline constexpr AtlasRect kHubAtlas{582, 0, 658, 76};
inline constexpr AtlasRect kNeedleAtlas{658, 0, 674, 118}; // the needle points up
inline constexpr AtlasRect kGearBadgeAtlas{582, 76, 640, 134};
inline constexpr float kAtlasWidth = 1024.0f;
inline constexpr float kAtlasHeight = 512.0f;

inline constexpr HostColour kDialWhite{255, 255, 255, 255};
inline constexpr std::uint8_t kBrightDigitAlpha = 255;
inline constexpr std::uint8_t kDimDigitAlpha = 30;

// The band starts 10 degrees before the needle's rest position at 120 degrees.
inline constexpr float kBandStartAngle = 110.0f;

// Whether a vehicle of this type gets the dial (all but types 3, 4, 5, 6 and 10).
bool IsDialVehicleType(std::int32_t type);

ScreenPoint DialCentre(ScreenSize screen); // the needle's pivot and the band's centre
float SpeedBandRadius(ScreenSize screen);
ScreenRect DialFaceRect(ScreenSize screen);
ScreenRect NeedleRect(ScreenSize screen); // before it is turned
ScreenRect HubRect(ScreenSize screen);
ScreenRect GearBadgeRect(ScreenSize screen);
ScreenRect GearGlyphRect(ScreenSize screen);
// place 0 is the hundreds digit, 1 the tens, 2 the units.
ScreenRect ReadoutDigitRect(ScreenSize screen, unsigned place);

// Raw speed limited to at most 1.2; NaN stays NaN.
float NeedleSpeed(float rawSpeed);
// The band is drawn only above needle speed 0.001.
bool ShowsSpeedBand(float needleSpeed);
// needle speed * 200 + 120 degrees: 120 at rest, 360 at 1.2.
float SpeedBandEndAngle(float needleSpeed);
// The needle sprite points up, so it turns by the band's end angle + 90.
float NeedleTurn(float needleSpeed);

// raw speed * 185, truncated: 0 for NaN or negative speed, UINT32_MAX when out of range.
std::uint32_t ReadoutNumber(float rawSpeed);

struct ReadoutDigit {
    unsigned digit;
    std::uint8_t alpha;
};

// Hundreds, tens and units of n; leading zeros are dim.
std::array<ReadoutDigit, 3> ReadoutDigits(std::uint32_t n);

// Cyan for a gear, pink for neutral or reverse (gear byte 0).
HostColour GearColour(std::uint8_t gear);
// The glyph cell of the gear byte; gears above 9 show as 9.
AtlasRect GearGlyphCell(std::uint8_t gear);
