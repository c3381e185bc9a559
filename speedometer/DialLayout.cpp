#include "speedometer/DialLayout.hpp"

#include "speedometer/FloatConversion.hpp"

bool IsDialVehicleType(std::int32_t type) {
    switch (type) {
    case 3:
    case 4:
    case 5:
    case 6:
    case 10:
        return false;
    default:
        return true;
    }
}

ScreenPoint DialCentre(ScreenSize screen) {
    return {FromRightEdge(screen, 209), FromBottomEdge(screen, 185)};
}

float SpeedBandRadius(ScreenSize screen) {
    return ScaleFrom1080(screen, 145);
}

ScreenRect DialFaceRect(ScreenSize screen) {
    return {FromRightEdge(screen, 354), FromBottomEdge(screen, 330), FromRightEdge(screen, 64),
            FromBottomEdge(screen, 40)};
}

ScreenRect NeedleRect(ScreenSize screen) {
    return {FromRightEdge(screen, 217), FromBottomEdge(screen, 330), FromRightEdge(screen, 201),
            FromBottomEdge(screen, 214)};
}

ScreenRect HubRect(ScreenSize screen) {
    return {FromRightEdge(screen, 247), FromBottomEdge(screen, 223), FromRightEdge(screen, 171),
            FromBottomEdge(screen, 147)};
}

ScreenRect GearBadgeRect(ScreenSize screen) {
    return {FromRightEdge(screen, 238), FromBottomEdge(screen, 214), FromRightEdge(screen, 180),
            FromBottomEdge(screen, 156)};
}

ScreenRect GearGlyphRect(ScreenSize screen) {
    const float left = FromRightEdge(screen, 223);
    const float top = FromBottomEdge(screen, 203);
    return {left, top, left + ScaleFrom1080(screen, 28), top + ScaleFrom1080(screen, 36)};
}

ScreenRect ReadoutDigitRect(ScreenSize screen, unsigned place) {
    const float left = FromRightEdge(screen, 217) + static_cast<float>(place) * ScaleFrom1080(screen, 52);
    const float top = FromBottomEdge(screen, 143);
    return {left, top, left + ScaleFrom1080(screen, 63), top + ScaleFrom1080(screen, 100.8f)};
}

float NeedleSpeed(float rawSpeed) {
    return rawSpeed > 1.2f ? 1.2f : rawSpeed;
}

bool ShowsSpeedBand(float needleSpeed) {
    return needleSpeed > 0.001f;
}

float SpeedBandEndAngle(float needleSpeed) {
    return needleSpeed * 200.0f + 120.0f;
}

float NeedleTurn(float needleSpeed) {
    return SpeedBandEndAngle(needleSpeed) + 90.0f;
}

std::uint32_t ReadoutNumber(float rawSpeed) {
    return SaturatingUint32(rawSpeed * 185.0f);
}

std::array<ReadoutDigit, 3> ReadoutDigits(std::uint32_t n) {
    const auto alpha = [n](std::uint32_t least) { return n >= least ? kBrightDigitAlpha : kDimDigitAlpha; };
    return {{{n / 100 % 10, alpha(100)}, {n / 10 % 10, alpha(10)}, {n % 10, alpha(1)}}};
}

HostColour GearColour(std::uint8_t gear) {
    return gear != 0 ? HostColour{0, 255, 255, 255} : HostColour{255, 25, 120, 255};
}

AtlasRect GearGlyphCell(std::uint8_t gear) {
    const unsigned g = gear > 9 ? 9U : gear;
    const float x = g == 0 ? 978.0f : 582.0f + 44.0f * static_cast<float>(g - 1);
    return {x, 134.0f, x + 44.0f, 190.0f};
}
