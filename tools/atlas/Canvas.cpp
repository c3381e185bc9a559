#include "tools/atlas/Canvas.hpp"

namespace atlas {
namespace {

// Below half a step of an 8-bit alpha a texel is stored as fully transparent.
constexpr float kInvisible = 0.5f / 255.0f;

std::uint8_t ToByte(float value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

} // namespace

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), texels_(static_cast<std::size_t>(width * height)) {}

void Canvas::Fill(const Region& region, Colour colour) {
    for (int y = region.top; y < region.bottom; ++y)
        for (int x = region.left; x < region.right; ++x)
            At(x, y) = colour;
}

void Canvas::Over(Colour& target, Colour source, float opacity) {
    const float a = source.a * opacity;
    const float below = target.a * (1.0f - a);
    const float out = a + below;
    if (out <= 0)
        return;
    target.r = (source.r * a + target.r * below) / out;
    target.g = (source.g * a + target.g * below) / out;
    target.b = (source.b * a + target.b * below) / out;
    target.a = out;
}

void Canvas::BleedColour(const Region& region, int passes) {
    std::vector<bool> known(static_cast<std::size_t>(region.Width() * region.Height()));
    auto index = [&](int x, int y) {
        return static_cast<std::size_t>((y - region.top) * region.Width() + x - region.left);
    };
    for (int y = region.top; y < region.bottom; ++y)
        for (int x = region.left; x < region.right; ++x)
            known[index(x, y)] = At(x, y).a >= kInvisible;
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<bool> next = known;
        for (int y = region.top; y < region.bottom; ++y) {
            for (int x = region.left; x < region.right; ++x) {
                if (known[index(x, y)])
                    continue;
                Colour sum;
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx;
                        const int ny = y + dy;
                        if (nx < region.left || nx >= region.right || ny < region.top ||
                            ny >= region.bottom || !known[index(nx, ny)])
                            continue;
                        const Colour& n = At(nx, ny);
                        sum.r += n.r;
                        sum.g += n.g;
                        sum.b += n.b;
                        ++count;
                    }
                }
                if (count == 0)
                    continue;
                const float k = 1.0f / static_cast<float>(count);
                At(x, y) = {sum.r * k, sum.g * k, sum.b * k, 0.0f};
                next[index(x, y)] = true;
            }
        }
        known = std::move(next);
    }
}

std::vector<std::uint8_t> Canvas::ToRgba8() const {
    std::vector<std::uint8_t> rgba;
    rgba.reserve(texels_.size() * 4);
    for (const Colour& c : texels_) {
        const std::uint8_t alpha = ToByte(c.a);
        rgba.push_back(ToByte(c.r));
        rgba.push_back(ToByte(c.g));
        rgba.push_back(ToByte(c.b));
        rgba.push_back(alpha);
    }
    return rgba;
}

} // namespace atlas
