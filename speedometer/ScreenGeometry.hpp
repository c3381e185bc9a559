#pragma once
// Screen arithmetic under the dial, as plain functions of numbers: lengths on the 1080-line
// reference screen, the whole-degree angle tables, atlas texture coordinates, quad turns and
// the vertices of a textured sector. Nothing here talks to the host.
#include "host/HostGame.hpp"
#include "speedometer/FloatConversion.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

struct ScreenSize {
    std::int32_t width;
    std::int32_t height;
};

struct ScreenPoint {
    float x;
    float y;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Left, top, right, bottom in pixels.
struct ScreenRect {
    float left;
    float top;
    float right;
    float bottom;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// Left, top, right, bottom in texels of the 1024 x 512 speedometer atlas.
struct AtlasRect {
    float left;
    float top;
    float right;
    float bottom;
    friend bool operator==(const AtlasRect&, const AtlasRect&) = default;
};

// Texture coordinates of an atlas rectangle's edges.
struct AtlasUv {
    float uLeft;
    float vTop;
    float uRight;
    float vBottom;
};

// Inline: every dial layer needs several of these, and inlined their divisions overlap.

// The pixel length of reference length k: min(width, height) * k / 1080 in float, truncated.
inline float ScaleFrom1080(ScreenSize screen, float k) {
    const float shorter = static_cast<float>(std::min(screen.width, screen.height));
    // Multiplied first, then divided: the order shows in the truncated result.
    return TruncateFloat(shorter * k / 1080.0f);
}
// The x coordinate k reference units left of the right edge.
inline float FromRightEdge(ScreenSize screen, float k) {
    return static_cast<float>(screen.width) - ScaleFrom1080(screen, k);
}
// The y coordinate k reference units above the bottom edge.
inline float FromBottomEdge(ScreenSize screen, float k) {
    return static_cast<float>(screen.height) - ScaleFrom1080(screen, k);
}

// Cosine and sine of whole degrees 0..359 (0 points right, angles grow clockwise on screen).
extern std::array<float, 360> CosTable;
extern std::array<float, 360> SinTable;

// Fills both tables; until then they hold zeros.
void FillAngleTables();

// The texture coordinates of an atlas rectangle (x over 1024, y over 512).
AtlasUv AtlasToUv(const AtlasRect& atlas);

// The atlas cell of read-out digit 0..9: digit 1 is the first cell, 0 the last.
AtlasRect DigitCell(unsigned digit);

// The table index whose cosine and sine turn a quad clockwise by `angle` degrees: the turn
// is the angle modulo 360, raised to the next whole degree (210.3 turns by 211).
std::uint32_t QuadTurnIndex(float angle);

// p turned about pivot with the table entry of QuadTurnIndex.
ScreenPoint TurnAbout(ScreenPoint p, ScreenPoint pivot, std::uint32_t tableIndex);

// A texel rectangle of a texture mapped onto an elliptical sector between two angles.
struct SectorShape {
    float textureWidth;
    float textureHeight;
    float sourceX;
    float sourceY;
    float sourceWidth;
    float sourceHeight;
    float centreX;
    float centreY;
    float radiusX;
    float radiusY;
    float startAngle;
    float endAngle;
};

// Centre, then two vertices for each of at most 60 steps, then two for the closing spoke.
inline constexpr std::size_t kSectorVertexCapacity = 123;

// Writes the sector's triangle-strip vertices (centre, spoke, centre, spoke, ...) and
// returns their count: spokes every 6 degrees from the start angle, closed by a spoke at the
// end angle, at most 60 steps.
std::uint32_t BuildSectorVertices(const SectorShape& shape,
                                  std::span<ScreenVertex, kSectorVertexCapacity> out);
