#include "speedometer/ScreenGeometry.hpp"

#include "speedometer/FloatConversion.hpp"

#include <algorithm>
#include <cmath>

std::array<float, 360> CosTable{};
std::array<float, 360> SinTable{};

namespace {

constexpr float kTexelToU = 0.0009765625f; // 1 / 1024
constexpr float kTexelToV = 0.001953125f;  // 1 / 512
constexpr float kDegreesToRadians = 0.0174532924f;
constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFF;

ScreenVertex SectorVertex(float x, float y, float u, float v) {
    return {x, y, 0.0f, 1.0f, kOpaqueWhite, u, v};
}

} // namespace

void FillAngleTables() {
    for (std::size_t i = 0; i < CosTable.size(); ++i) {
        // The angle is a float product; only cosine and sine run in double.
        const float angle = static_cast<float>(i) * kDegreesToRadians;
        CosTable[i] = static_cast<float>(std::cos(static_cast<double>(angle)));
        SinTable[i] = static_cast<float>(std::sin(static_cast<double>(angle)));
    }
}

AtlasUv AtlasToUv(const AtlasRect& atlas) {
    return {atlas.left * kTexelToU, atlas.top * kTexelToV, atlas.right * kTexelToU, atlas.bottom * kTexelToV};
}

AtlasRect DigitCell(unsigned digit) {
    digit %= 10;
    const float x = digit == 0 ? 900.0f : static_cast<float>((digit - 1) * 100);
    return {x, 291.0f, x + 100.0f, 451.0f};
}

std::uint32_t QuadTurnIndex(float angle) {
    float turn = static_cast<float>(Remainder360(static_cast<double>(angle)));
    if (turn < 0.0f) {
        turn += 360.0f;
    }
    // The tables turn counter-clockwise by their index; 360 - turn undoes that.
    return WholeDegreeIndex(360.0f - turn);
}

ScreenPoint TurnAbout(ScreenPoint p, ScreenPoint pivot, std::uint32_t tableIndex) {
    const float c = CosTable[tableIndex % 360];
    const float s = SinTable[tableIndex % 360];
    const float dx = p.x - pivot.x;
    const float dy = p.y - pivot.y;
    return {pivot.x + dx * c + dy * s, pivot.y - dx * s + dy * c};
}

std::uint32_t BuildSectorVertices(const SectorShape& shape,
                                  std::span<ScreenVertex, kSectorVertexCapacity> out) {
    const float uBase = shape.sourceX / shape.textureWidth;
    const float vBase = shape.sourceY / shape.textureHeight;
    const float uCentre = shape.sourceWidth * 0.5f / shape.textureWidth + uBase;
    const float vCentre = shape.sourceHeight * 0.5f / shape.textureHeight + vBase;
    const ScreenVertex centre = SectorVertex(shape.centreX, shape.centreY, uCentre, vCentre);

    // The texel rectangle spans the ellipse's bounding box.
    const auto spoke = [&](float angle) {
        const std::uint32_t i = WholeDegreeIndex(angle);
        const float c = CosTable[i];
        const float s = SinTable[i];
        return SectorVertex(shape.centreX + c * shape.radiusX, shape.centreY + s * shape.radiusY,
                            (c * 0.5f + 0.5f) * shape.sourceWidth / shape.textureWidth + uBase,
                            (s * 0.5f + 0.5f) * shape.sourceHeight / shape.textureHeight + vBase);
    };

    // Centre, spoke, centre, spoke, ...: every second triangle of the strip is a wedge
    // between neighbouring spokes, the others are empty.
    out[0] = centre;
    std::uint32_t count = 1;
    float angle = shape.startAngle;
    for (int step = 0; step < 60; ++step) {
        out[count] = spoke(angle);
        out[count + 1] = centre;
        count += 2;
        angle += 6.0f;
        if (angle >= shape.endAngle) {
            out[count] = spoke(shape.endAngle);
            out[count + 1] = centre;
            count += 2;
            break;
        }
    }
    return count;
}
