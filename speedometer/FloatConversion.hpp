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

// std::trunc(value), bit for bit, without a call into the runtime where the compiler does not
// inline it (clang calls truncf without SSE4.1, and the runtime's is an x87 routine). Below
// 2^31 in magnitude the conversion to a 32-bit integer truncates exactly and the integer
// converts back exactly; the sign is put back for the zeros of (-1, 0).
inline float TruncateFloat(float value) {
    if (std::fabs(value) < 2147483648.0f) {
        return std::copysign(static_cast<float>(static_cast<std::int32_t>(value)), value);
    }
    return std::trunc(value); // whole already, infinite or NaN
}

// std::fmod(degrees, 360.0), bit for bit, without the runtime's call on the angles the dial
// turns through: on [0, 720) the remainder is degrees itself or degrees - 360, and that
// subtraction is exact there (the difference of two floats within a factor of two of each
// other is exact). The runtime's fmod is an x87 loop that took a third of the time of a frame.
inline double Remainder360(double degrees) {
    if (degrees >= 0.0 && degrees < 360.0) {
        return degrees;
    }
    if (degrees >= 360.0 && degrees < 720.0) {
        return degrees - 360.0;
    }
    return std::fmod(degrees, 360.0);
}

// The whole degree 0..359 at or below `degrees`, repeating every 360 degrees: 359.9 gives 359,
// 360 gives 0, -30 gives 330, -30.5 gives 329. NaN and infinities give 0.
inline std::uint32_t WholeDegreeIndex(float degrees) {
    // The angles the dial draws with: there the whole degree is the truncation.
    if (degrees >= 0.0f && degrees < 360.0f) {
        return static_cast<std::uint32_t>(degrees);
    }
    if (!std::isfinite(degrees)) {
        return 0;
    }
    // Exact in double, and within (-360, 360) whatever the magnitude.
    const double whole = std::floor(Remainder360(static_cast<double>(degrees)));
    const std::int32_t index = static_cast<std::int32_t>(whole);
    return static_cast<std::uint32_t>(index < 0 ? index + 360 : index);
}
