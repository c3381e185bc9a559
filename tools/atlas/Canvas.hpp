#pragma once
// A floating-point RGBA canvas with straight alpha, painted shape by shape.
#include "tools/atlas/Shapes.hpp"

#include <cstdint>
#include <vector>

namespace atlas {

// Straight (non-premultiplied) colour, every channel in [0, 1].
struct Colour {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;
};

inline Colour Rgb(int r, int g, int b, float a = 1.0f) {
    return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f,
            a};
}

inline Colour Mix(Colour x, Colour y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

// A texel rectangle of the canvas: left and top inclusive, right and bottom exclusive.
struct Region {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// An area in region coordinates (texels from the region's top-left corner).
struct Box {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

// All of a region, in its own coordinates, and its middle.
inline Box WholeOf(const Region& region) {
    return {0, 0, static_cast<float>(region.Width()), static_cast<float>(region.Height())};
}
inline Vec2 MiddleOf(const Region& region) {
    return {static_cast<float>(region.Width()) / 2, static_cast<float>(region.Height()) / 2};
}

class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Colour& At(int x, int y) { return texels_[static_cast<std::size_t>(y * width_ + x)]; }
    const Colour& At(int x, int y) const { return texels_[static_cast<std::size_t>(y * width_ + x)]; }

    // Sets every texel of the region, without blending.
    void Fill(const Region& region, Colour colour);

    // Lays colour(p) over the region's texels inside `bounds`, with coverage(p) as extra
    // opacity; p is a texel centre in region coordinates. Nothing outside the region changes.
    template <class CoverageOf, class ColourOf>
    void Paint(const Region& region, const Box& bounds, CoverageOf coverage, ColourOf colour);

    // Gives transparent texels the mean colour of their visible neighbours inside the region,
    // so that filtering across an edge does not pull in the black of empty texels.
    void BleedColour(const Region& region, int passes);

    // Rows top to bottom, bytes R, G, B, A per texel.
    std::vector<std::uint8_t> ToRgba8() const;

private:
    void Over(Colour& target, Colour source, float opacity);

    int width_;
    int height_;
    std::vector<Colour> texels_;
};

template <class CoverageOf, class ColourOf>
void Canvas::Paint(const Region& region, const Box& bounds, CoverageOf coverage, ColourOf colour) {
    const int x0 = std::max(0, static_cast<int>(std::floor(bounds.left)));
    const int y0 = std::max(0, static_cast<int>(std::floor(bounds.top)));
    const int x1 = std::min(region.Width(), static_cast<int>(std::ceil(bounds.right)));
    const int y1 = std::min(region.Height(), static_cast<int>(std::ceil(bounds.bottom)));
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Vec2 p{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
            const float c = coverage(p);
            if (c > 0)
                Over(At(region.left + x, region.top + y), colour(p), c);
        }
    }
}

} // namespace atlas
