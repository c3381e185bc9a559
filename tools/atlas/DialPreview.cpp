#include "tools/atlas/DialPreview.hpp"

#include "tools/atlas/Atlas.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace atlas {
namespace {

constexpr float kScreenWidth = 1920.0f;
constexpr float kScreenHeight = 1080.0f;
constexpr int kPanelWidth = 400;  // pixels left of the right edge
constexpr int kPanelHeight = 360; // pixels above the bottom edge

float S(float k) {
    return std::trunc(kScreenHeight * k / 1080.0f);
}
float R(float k) {
    return kScreenWidth - S(k);
}
float B(float k) {
    return kScreenHeight - S(k);
}

struct Rgba {
    float r, g, b, a;
};

struct Rect {
    float left, top, right, bottom;
};

class Panel {
public:
    Panel(std::span<const std::uint8_t> atlas, bool bright, int zoom)
        : atlas_(atlas), zoom_(zoom),
          pixels_(static_cast<std::size_t>(kPanelWidth * kPanelHeight * zoom * zoom)) {
        for (int y = 0; y < Height(); ++y) {
            for (int x = 0; x < Width(); ++x) {
                const float fy = static_cast<float>(y) / static_cast<float>(Height());
                const bool stripe = ((x + y) / (24 * zoom)) % 2 == 0;
                Rgba c = bright ? Rgba{0.86f - 0.2f * fy, 0.88f - 0.15f * fy, 0.9f - 0.1f * fy, 1}
                                : Rgba{0.2f + 0.15f * fy, 0.25f + 0.1f * fy, 0.3f, 1};
                if (stripe) {
                    c.r *= 0.85f;
                    c.g *= 0.85f;
                    c.b *= 0.85f;
                }
                pixels_[Index(x, y)] = c;
            }
        }
    }

    int Width() const { return kPanelWidth * zoom_; }
    int Height() const { return kPanelHeight * zoom_; }

    // An axis-aligned quad, optionally turned clockwise by `turn` degrees about a pivot.
    void Quad(Rect screen, Rect texels, Rgba tint, float turn = 0, float pivotX = 0, float pivotY = 0) {
        const float c = std::cos(turn * 3.14159265f / 180.0f);
        const float s = std::sin(turn * 3.14159265f / 180.0f);
        ForEachPixel([&](float x, float y) -> std::optional<Rgba> {
            const float dx = x - pivotX;
            const float dy = y - pivotY;
            const float qx = turn == 0 ? x : pivotX + dx * c + dy * s;
            const float qy = turn == 0 ? y : pivotY - dx * s + dy * c;
            if (qx < screen.left || qx >= screen.right || qy < screen.top || qy >= screen.bottom)
                return std::nullopt;
            const float u = texels.left +
                            (qx - screen.left) / (screen.right - screen.left) * (texels.right - texels.left);
            const float v =
                texels.top + (qy - screen.top) / (screen.bottom - screen.top) * (texels.bottom - texels.top);
            return Modulate(Sample(u, v), tint);
        });
    }

    // The band disc between two angles, mapped over the circle's bounding box.
    void Sector(float centreX, float centreY, float radius, float start, float end) {
        ForEachPixel([&](float x, float y) -> std::optional<Rgba> {
            const float dx = x - centreX;
            const float dy = y - centreY;
            if (dx * dx + dy * dy > radius * radius)
                return std::nullopt;
            float angle = std::atan2(dy, dx) * 180.0f / 3.14159265f;
            if (angle < 0)
                angle += 360.0f;
            if (angle < start)
                angle += 360.0f;
            if (angle < start || angle > end)
                return std::nullopt;
            const float u = 291.0f + (dx / radius * 0.5f + 0.5f) * 291.0f;
            const float v = (dy / radius * 0.5f + 0.5f) * 291.0f;
            return Sample(u, v);
        });
    }

    void CopyInto(PreviewImage& image, int panelIndex) const {
        for (int y = 0; y < Height(); ++y) {
            for (int x = 0; x < Width(); ++x) {
                const Rgba& c = pixels_[Index(x, y)];
                const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                                        static_cast<std::size_t>(panelIndex * Width() + x)) *
                                       3;
                image.rgb[at + 0] = ToByte(c.r);
                image.rgb[at + 1] = ToByte(c.g);
                image.rgb[at + 2] = ToByte(c.b);
            }
        }
    }

private:
    static std::uint8_t ToByte(float v) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
    }
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y * Width() + x); }

    // Visits every pixel centre in screen coordinates and lays the returned colour over it.
    template <class Shade>
    void ForEachPixel(Shade shade) {
        const float originX = kScreenWidth - kPanelWidth;
        const float originY = kScreenHeight - kPanelHeight;
        const float step = 1.0f / static_cast<float>(zoom_);
        for (int y = 0; y < Height(); ++y) {
            for (int x = 0; x < Width(); ++x) {
                const auto colour = shade(originX + (static_cast<float>(x) + 0.5f) * step,
                                          originY + (static_cast<float>(y) + 0.5f) * step);
                if (!colour)
                    continue;
                Rgba& d = pixels_[Index(x, y)];
                d.r = colour->r * colour->a + d.r * (1 - colour->a);
                d.g = colour->g * colour->a + d.g * (1 - colour->a);
                d.b = colour->b * colour->a + d.b * (1 - colour->a);
            }
        }
    }

    Rgba Texel(int x, int y) const {
        x = std::clamp(x, 0, kAtlasWidth - 1);
        y = std::clamp(y, 0, kAtlasHeight - 1);
        const std::size_t at = (static_cast<std::size_t>(y) * kAtlasWidth + static_cast<std::size_t>(x)) * 4;
        return {atlas_[at] / 255.0f, atlas_[at + 1] / 255.0f, atlas_[at + 2] / 255.0f,
                atlas_[at + 3] / 255.0f};
    }

    // Bilinear filtering of straight-alpha texels, channel by channel, as a texture unit does.
    Rgba Sample(float u, float v) const {
        const float fx = u - 0.5f;
        const float fy = v - 0.5f;
        const int x0 = static_cast<int>(std::floor(fx));
        const int y0 = static_cast<int>(std::floor(fy));
        const float tx = fx - static_cast<float>(x0);
        const float ty = fy - static_cast<float>(y0);
        const Rgba a = Texel(x0, y0), b = Texel(x0 + 1, y0), c = Texel(x0, y0 + 1), d = Texel(x0 + 1, y0 + 1);
        auto mix = [&](float p, float q, float r, float s) {
            return (p * (1 - tx) + q * tx) * (1 - ty) + (r * (1 - tx) + s * tx) * ty;
        };
        return {mix(a.r, b.r, c.r, d.r), mix(a.g, b.g, c.g, d.g), mix(a.b, b.b, c.b, d.b),
                mix(a.a, b.a, c.a, d.a)};
    }

    static Rgba Modulate(Rgba texel, Rgba tint) {
        return {texel.r * tint.r, texel.g * tint.g, texel.b * tint.b, texel.a * tint.a};
    }

    std::span<const std::uint8_t> atlas_;
    int zoom_;
    std::vector<Rgba> pixels_;
};

void DrawDial(Panel& panel, const DialState& state) {
    const Rgba white{1, 1, 1, 1};
    const float needleSpeed = std::min(1.2f, state.rawSpeed);
    const auto n = static_cast<std::uint32_t>(state.rawSpeed * 185.0f);
    const float angle = needleSpeed * 200.0f + 120.0f;
    const Rgba gearColour = state.gear != 0 ? Rgba{0, 1, 1, 1} : Rgba{1, 25 / 255.0f, 120 / 255.0f, 1};
    const int g = std::min(state.gear, 9);
    const Region glyph = GearGlyphCell(g);

    panel.Quad({R(354), B(330), R(64), B(40)}, {0, 0, 291, 291}, white);
    if (needleSpeed > 0.001f)
        panel.Sector(R(209), B(185), S(145), 110.0f, angle);
    panel.Quad({R(217), B(330), R(201), B(214)}, {658, 0, 674, 118}, white, std::ceil(angle + 90.0f), R(209),
               B(185));
    panel.Quad({R(247), B(223), R(171), B(147)}, {582, 0, 658, 76}, white);
    panel.Quad({R(238), B(214), R(180), B(156)}, {582, 76, 640, 134}, gearColour);
    panel.Quad({R(223), B(203), R(223) + S(28), B(203) + S(36)},
               {static_cast<float>(glyph.left), 134, static_cast<float>(glyph.right), 190}, gearColour);
    const std::uint32_t digits[] = {n / 100 % 10, n / 10 % 10, n % 10};
    const std::uint32_t brightFrom[] = {100, 10, 1};
    for (int i = 0; i < 3; ++i) {
        const float left = R(217) + static_cast<float>(i) * S(52);
        const Region cell = ReadoutDigitCell(static_cast<int>(digits[i]));
        const Rgba tint{1, 1, 1, n >= brightFrom[i] ? 1.0f : 30 / 255.0f};
        panel.Quad({left, B(143), left + S(63), B(143) + S(100.8f)},
                   {static_cast<float>(cell.left), 291, static_cast<float>(cell.right), 451}, tint);
    }
}

} // namespace

PreviewImage ComposeDialPreview(std::span<const std::uint8_t> atlasRgba, std::span<const DialState> states,
                                int zoom) {
    PreviewImage image;
    image.width = kPanelWidth * zoom * static_cast<int>(states.size());
    image.height = kPanelHeight * zoom;
    image.rgb.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3);
    for (std::size_t i = 0; i < states.size(); ++i) {
        Panel panel(atlasRgba, i % 2 == 1, zoom);
        DrawDial(panel, states[i]);
        panel.CopyInto(image, static_cast<int>(i));
    }
    return image;
}

} // namespace atlas
