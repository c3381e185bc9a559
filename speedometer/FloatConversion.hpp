#pragma once
// Float-to-integer conversions for values that come from the host. A plain static_cast is
// undefined for NaN, infinities and values out of range; these give a defined result for
// every float and the ordinary truncation for every ordinary value.
#include <cmath>
#include <cstdint>
#include <limits>

// value truncated toward zero; 0 for NaN and anything below 1; UINT32_MAX from 2^32 up.
inline std::uint32_t SaturatingUint32(float value) {
    if (!(value > 0.0f)) {
        return 0; // NaN, zero and negative values
    }
    if (value >= 4294967296.0f) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(value);
}

// The whole degree 0..359 at or below `degrees`, repeating every 360 degrees: 359.9 gives 359,
// 360 gives 0, -30 gives 330, -30.5 gives 329. NaN and infinities give 0.
inline std::uint32_t WholeDegreeIndex(float degrees) {
    if (!std::isfinite(degrees)) {
        return 0;
    }
    // Exact in double, and within (-360, 360) whatever the magnitude.
    const double whole = std::floor(std::fmod(static_cast<double>(degrees), 360.0));
    const std::int32_t index = static_cast<std::int32_t>(whole);
    return static_cast<std::uint32_t>(index < 0 ? index + 360 : index);
}
