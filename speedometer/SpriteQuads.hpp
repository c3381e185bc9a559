#pragma once
// The drawing primitives under the dial, through the host's quad buffer and primitive call.
// The caller binds the texture first; none of these binds or unbinds it. They share the
// host's quad buffer and SectorVertices and are not reentrant.
#include "host/HostGame.hpp"
#include "speedometer/ScreenGeometry.hpp"

#include <array>
#include <cstdint>

// The host's screen size, read afresh.
ScreenSize HostScreenSize();

// The reference-scale functions on the host's current screen.
float ScaleFrom1080(float k);
float FromRightEdge(float k);
float FromBottomEdge(float k);

// Fills the host's quad buffer with an axis-aligned textured quad (HostMakeRect, then
// HostSetQuadVertices), without drawing it.
void SetAtlasQuad(const ScreenRect& screen, const HostColour& colour, const AtlasRect& atlas);
// Draws the host's quad buffer.
void DrawHostQuad();
// One axis-aligned textured quad: SetAtlasQuad, then DrawHostQuad.
void DrawAtlasQuad(float left, float top, float right, float bottom, const HostColour& colour,
                   const AtlasRect& atlas);

// Turns the four vertices of the host's quad buffer clockwise about the pivot by `angle`
// degrees modulo 360, raised to the next whole degree.
void RotateHostQuad(float pivotX, float pivotY, float angle);

// One read-out digit 0..9 in white with the given alpha.
void DrawDigitCell(unsigned digit, std::uint8_t alpha, float x, float y, float width, float height);

// Draws the part of an elliptical disc, mapped from a texel rectangle, between two angles.
void DrawTexturedSector(float textureWidth, float textureHeight, float sourceX, float sourceY,
                        float sourceWidth, float sourceHeight, float centreX, float centreY, float radiusX,
                        float radiusY, float startAngle, float endAngle);

// The scratch buffer every sector is built in.
extern std::array<ScreenVertex, kSectorVertexCapacity> SectorVertices;
