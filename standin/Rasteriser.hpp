#pragma once
// Draws host primitives into a picture the way the host's device would: screen-space
// triangles, textured from the bound texture (nearest texel), modulated by the vertex
// colour and blended over the picture by alpha.
#include "host/HostGame.hpp"
#include "standin/Texture.hpp"

#include <cstdint>
#include <string>

namespace standin {

// Primitive kinds the stand-in draws.
inline constexpr std::uint32_t kTriangleStrip = 4; // triangles (i, i+1, i+2)
inline constexpr std::uint32_t kTriangleFan = 5;   // triangles (0, i, i+1); the quad buffer is one fan

// Draws `count` vertices of primitive `kind` into target; without a texture the texel is
// opaque white. Pixel centres lie at half-pixel positions; edges follow the top-left rule,
// so triangles that share an edge cover each pixel once. Other kinds draw nothing.
void Rasterise(Image& target, const Texture* texture, std::uint32_t kind, const ScreenVertex* vertices,
               std::uint32_t count);

// The vertex colour (A8R8G8B8) of a host colour, and back.
std::uint32_t PackVertexColour(const HostColour& colour);
Rgba UnpackVertexColour(std::uint32_t colour);

// colour over background with the colour's alpha.
Rgba Blend(Rgba background, Rgba colour);

// The part [x, x + width) x [y, y + height) of a picture, clipped to it.
Image Crop(const Image& image, int x, int y, int width, int height);

// Writes the picture as a PNG file; false when it cannot be written.
bool WritePng(const Image& image, const std::string& path);

} // namespace standin
