#pragma once
// The speedometer's texture atlas, drawn in code: 1024 x 512 texels, straight alpha.
#include "tools/atlas/Canvas.hpp"

#include <cstdint>
#include <vector>

namespace atlas {

inline constexpr int kAtlasWidth = 1024;
inline constexpr int kAtlasHeight = 512;

// The atlas regions the dial draws from.
inline constexpr Region kDialFace{0, 0, 291, 291};
inline constexpr Region kSpeedBand{291, 0, 582, 291};
inline constexpr Region kHub{582, 0, 658, 76};
inline constexpr Region kNeedle{658, 0, 674, 118};
inline constexpr Region kGearBadge{582, 76, 640, 134};
inline constexpr Region kGearGlyphs{582, 134, 1022, 190};
inline constexpr Region kReadoutDigits{0, 291, 1000, 451};

// The cell of gear 0 to 9: gears 1 to 9 from the left, then gear 0.
Region GearGlyphCell(int gear);

// The cell of read-out digit 0 to 9: digits 1 to 9 from the left, then 0.
Region ReadoutDigitCell(int digit);

// Where the needle points for a read-out value (raw speed x 185): 120 degrees at 0, 360 at
// the needle's stop at 222; degrees clockwise from pointing right.
float DialAngleOfValue(float value);

// The whole atlas, rows top to bottom, bytes R, G, B, A per texel. The gear badge, the gear
// glyphs and the read-out digits are white throughout: the dial tints them by vertex colour.
std::vector<std::uint8_t> GenerateAtlas();

} // namespace atlas
