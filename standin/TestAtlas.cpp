#include "standin/TestAtlas.hpp"

#include <array>

namespace standin {
namespace {

constexpr std::array<Rgba, 10> kCellColours{{
    {255, 255, 255, 255},
    {255, 80, 80, 255},
    {255, 170, 60, 255},
    {250, 240, 80, 255},
    {120, 230, 90, 255},
    {60, 200, 200, 255},
    {90, 140, 255, 255},
    {180, 110, 255, 255},
    {255, 110, 200, 255},
    {150, 150, 150, 255},
}};

// Segments a (top), b (top right), c (bottom right), d (bottom), e (bottom left),
// f (top left), g (middle), one bit each from a.
constexpr std::array<unsigned, 10> kSegments{0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void Region(Image& atlas, int left, int top, int right, int bottom, Rgba colour, int border) {
    atlas.FillRect(left, top, right, bottom, kAtlasBorder);
    atlas.FillRect(left + border, top + border, right - border, bottom - border, colour);
}

// A glyph in the box [x0, x1) x [y0, y1) with strokes t wide.
void Glyph(Image& atlas, unsigned digit, int x0, int y0, int x1, int y1, int t) {
    const int ym = (y0 + y1) / 2;
    const unsigned on = kSegments[digit];
    const auto segment = [&](unsigned bit, int left, int top, int right, int bottom) {
        if ((on & (1U << bit)) != 0) {
            atlas.FillRect(left, top, right, bottom, kAtlasBorder);
        }
    };
    segment(0, x0, y0, x1, y0 + t);
    segment(1, x1 - t, y0, x1, ym);
    segment(2, x1 - t, ym, x1, y1);
    segment(3, x0, y1 - t, x1, y1);
    segment(4, x0, ym, x0 + t, y1);
    segment(5, x0, y0, x0 + t, ym);
    segment(6, x0, ym - t / 2, x1, ym + t / 2);
}

} // namespace

Rgba AtlasCellColour(unsigned digit) {
    return kCellColours[digit % 10];
}

std::unique_ptr<Texture> MakeTestAtlas() {
    auto texture = std::make_unique<Texture>();
    Image& atlas = texture->image;
    atlas = Image::Filled(kAtlasWidth, kAtlasHeight, {0, 0, 0, 0});
    Region(atlas, 0, 0, 291, 291, kAtlasFace, 2);
    Region(atlas, 291, 0, 582, 291, kAtlasBand, 2);
    Region(atlas, 582, 0, 658, 76, kAtlasHub, 2);
    Region(atlas, 658, 0, 674, 118, kAtlasNeedle, 2);
    Region(atlas, 582, 76, 640, 134, kAtlasBadge, 2);
    for (unsigned gear = 0; gear < 10; ++gear) {
        const int x = gear == 0 ? 978 : 582 + 44 * static_cast<int>(gear - 1);
        Region(atlas, x, 134, x + 44, 190, AtlasCellColour(gear), 1);
        Glyph(atlas, gear, x + 10, 134 + 8, x + 34, 134 + 48, 5);
    }
    for (unsigned digit = 0; digit < 10; ++digit) {
        const int x = digit == 0 ? 900 : 100 * static_cast<int>(digit - 1);
        Region(atlas, x, 291, x + 100, 451, AtlasCellColour(digit), 2);
        Glyph(atlas, digit, x + 22, 291 + 20, x + 78, 291 + 140, 12);
    }
    return texture;
}

} // namespace standin
