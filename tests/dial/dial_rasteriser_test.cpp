// The stand-in's rasteriser, which the dial's pictures rely on: exact coverage of quads,
// shared edges drawn once (seen through alpha), and textured, colour-modulated texels.
#include "standin/Rasteriser.hpp"
#include "standin/TestAtlas.hpp"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <set>
#include <tuple>

namespace {

using standin::Image;
using standin::Rgba;

constexpr Rgba kBlack{0, 0, 0, 255};

std::array<ScreenVertex, 4> Fan(std::array<float, 8> xy, std::uint32_t colour, std::array<float, 8> uv = {}) {
    std::array<ScreenVertex, 4> quad{};
    for (std::size_t i = 0; i < 4; ++i) {
        quad[i] = {xy[2 * i], xy[2 * i + 1], 0, 1, colour, uv[2 * i], uv[2 * i + 1]};
    }
    return quad;
}

TEST(Rasterise, AxisAlignedFanCoversExactlyItsPixels) {
    Image image = Image::Filled(20, 20, kBlack);
    const auto quad = Fan({3, 4, 13, 4, 13, 9, 3, 9}, 0xFFFF0000);
    standin::Rasterise(image, nullptr, standin::kTriangleFan, quad.data(), 4);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 3 && x < 13 && y >= 4 && y < 9;
            EXPECT_EQ(image.At(x, y), (inside ? Rgba{255, 0, 0, 255} : kBlack)) << x << ", " << y;
        }
    }
}

TEST(Rasterise, RotatedHalfTransparentQuadBlendsEveryCoveredPixelOnce) {
    Image image = Image::Filled(64, 64, kBlack);
    const double a = 30 * std::numbers::pi / 180;
    std::array<float, 8> xy{};
    const std::array<std::array<double, 2>, 4> corners{{{-20, -20}, {20, -20}, {20, 20}, {-20, 20}}};
    for (std::size_t i = 0; i < 4; ++i) {
        xy[2 * i] = static_cast<float>(32 + corners[i][0] * std::cos(a) - corners[i][1] * std::sin(a));
        xy[2 * i + 1] = static_cast<float>(32 + corners[i][0] * std::sin(a) + corners[i][1] * std::cos(a));
    }
    const auto quad = Fan(xy, 0x80FFFFFF);
    standin::Rasterise(image, nullptr, standin::kTriangleFan, quad.data(), 4);

    const Rgba once = standin::Blend(kBlack, {255, 255, 255, 0x80});
    int covered = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const Rgba pixel = image.At(x, y);
            ASSERT_TRUE(pixel == kBlack || pixel == once) << "blended twice at " << x << ", " << y;
            // Back into the square's own frame: well inside must be covered.
            const double dx = x + 0.5 - 32, dy = y + 0.5 - 32;
            const double sx = dx * std::cos(a) + dy * std::sin(a), sy = -dx * std::sin(a) + dy * std::cos(a);
            if (std::abs(sx) < 19 && std::abs(sy) < 19) {
                EXPECT_EQ(pixel, once) << "hole at " << x << ", " << y;
            }
            covered += pixel == once ? 1 : 0;
        }
    }
    EXPECT_NEAR(covered, 1600, 60);
}

TEST(Rasterise, SamplesTheNearestTexelModulatedByTheVertexColour) {
    const auto atlas = standin::MakeTestAtlas();
    Image image = Image::Filled(8, 8, kBlack);
    // The hub's region, inside its border, in cyan.
    const float u0 = 600.0f / 1024, u1 = 640.0f / 1024, v0 = 20.0f / 512, v1 = 60.0f / 512;
    const auto quad = Fan({0, 0, 8, 0, 8, 8, 0, 8}, 0xFF00FFFF, {u0, v0, u1, v0, u1, v1, u0, v1});
    standin::Rasterise(image, atlas.get(), standin::kTriangleFan, quad.data(), 4);
    const Rgba hub = standin::kAtlasHub;
    EXPECT_EQ(image.At(4, 4), (Rgba{0, hub.g, hub.b, 255}));
}

TEST(Rasterise, StripDrawsItsTrianglesAndSkipsEmptyOnes) {
    Image image = Image::Filled(10, 10, kBlack);
    // centre, spoke, centre, spoke: the middle triangle is the only one with area.
    const std::array<ScreenVertex, 4> strip{{{0, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                                             {10, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                                             {0, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                                             {0, 10, 0, 1, 0xFFFFFFFF, 0, 0}}};
    standin::Rasterise(image, nullptr, standin::kTriangleStrip, strip.data(), 4);
    EXPECT_EQ(image.At(1, 1), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(image.At(8, 8), kBlack);
}

} // namespace
