#include "speedometer/SpriteQuads.hpp"

std::array<ScreenVertex, kSectorVertexCapacity> SectorVertices{};

ScreenSize HostScreenSize() {
    return {HostScreenWidth(), HostScreenHeight()};
}

float ScaleFrom1080(float k) {
    return ScaleFrom1080(HostScreenSize(), k);
}
float FromRightEdge(float k) {
    return FromRightEdge(HostScreenSize(), k);
}
float FromBottomEdge(float k) {
    return FromBottomEdge(HostScreenSize(), k);
}

void SetAtlasQuad(const ScreenRect& screen, const HostColour& colour, const AtlasRect& atlas) {
    HostRect rect;
    HostMakeRect(&rect, screen.left, screen.top, screen.right, screen.bottom);
    const AtlasUv uv = AtlasToUv(atlas);
    HostSetQuadVertices(&rect, &colour, &colour, &colour, &colour, uv.uLeft, uv.vTop, uv.uRight, uv.vTop,
                        uv.uLeft, uv.vBottom, uv.uRight, uv.vBottom);
}

void DrawHostQuad() {
    HostDrawPrimitive(host::kPrimitiveQuad, HostQuadVertices(), 4);
}

void DrawAtlasQuad(float left, float top, float right, float bottom, const HostColour& colour,
                   const AtlasRect& atlas) {
    SetAtlasQuad({left, top, right, bottom}, colour, atlas);
    DrawHostQuad();
}

void RotateHostQuad(float pivotX, float pivotY, float angle) {
    const std::uint32_t index = QuadTurnIndex(angle);
    ScreenVertex* quad = HostQuadVertices();
    for (int i = 0; i < 4; ++i) {
        const ScreenPoint turned = TurnAbout({quad[i].x, quad[i].y}, {pivotX, pivotY}, index);
        quad[i].x = turned.x;
        quad[i].y = turned.y;
    }
}

void DrawDigitCell(unsigned digit, std::uint8_t alpha, float x, float y, float width, float height) {
    const HostColour colour{255, 255, 255, alpha};
    DrawAtlasQuad(x, y, x + width, y + height, colour, DigitCell(digit));
}

void DrawTexturedSector(float textureWidth, float textureHeight, float sourceX, float sourceY,
                        float sourceWidth, float sourceHeight, float centreX, float centreY, float radiusX,
                        float radiusY, float startAngle, float endAngle) {
    const SectorShape shape{textureWidth, textureHeight, sourceX, sourceY, sourceWidth, sourceHeight,
                            centreX,      centreY,       radiusX, radiusY, startAngle,  endAngle};
    const std::uint32_t count = BuildSectorVertices(shape, SectorVertices);
    HostDrawPrimitive(host::kPrimitiveTriangleStrip, SectorVertices.data(), count);
}
