// The speedometer atlas: every region keeps its art inside a transparent gutter, the tinted
// pieces are white, the needle, band and ticks agree on the dial's angles, and the build's
// models/speedometer.txd holds exactly this atlas.
#include "tests/support/ChildProcess.hpp"
#include "tools/atlas/Atlas.hpp"
#include "tools/txd/TxdFormat.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

using atlas::Region;

namespace {

const std::vector<std::uint8_t>& Atlas() {
    static const std::vector<std::uint8_t> pixels = atlas::GenerateAtlas();
    return pixels;
}

struct Texel {
    int r, g, b, a;
    int Luminance() const { return (r * 3 + g * 6 + b) / 10; }
};

Texel At(int x, int y) {
    const std::size_t i =
        (static_cast<std::size_t>(y) * atlas::kAtlasWidth + static_cast<std::size_t>(x)) * 4;
    const auto& p = Atlas();
    return {p[i], p[i + 1], p[i + 2], p[i + 3]};
}

// The texel under a point given in a region's own coordinates.
Texel Under(const Region& region, float x, float y) {
    return At(region.left + static_cast<int>(std::floor(x)), region.top + static_cast<int>(std::floor(y)));
}

// The texel under the point at a radius and angle (degrees clockwise from right) from the
// middle of a disc region.
Texel OnDisc(const Region& region, float radius, float degrees) {
    const float middle = static_cast<float>(region.Width()) / 2;
    const float a = degrees * 3.14159265f / 180.0f;
    return Under(region, middle + radius * std::cos(a), middle + radius * std::sin(a));
}

struct NamedRegion {
    std::string name;
    Region region;
};
void PrintTo(const NamedRegion& r, std::ostream* os) {
    *os << r.name;
}

std::vector<NamedRegion> EveryRegionAndCell() {
    std::vector<NamedRegion> all{{"DialFace", atlas::kDialFace},
                                 {"SpeedBand", atlas::kSpeedBand},
                                 {"Hub", atlas::kHub},
                                 {"Needle", atlas::kNeedle},
                                 {"GearBadge", atlas::kGearBadge}};
    for (int i = 0; i <= 9; ++i) {
        all.push_back({"Gear" + std::to_string(i), atlas::GearGlyphCell(i)});
        all.push_back({"Digit" + std::to_string(i), atlas::ReadoutDigitCell(i)});
    }
    return all;
}

class AtlasRegion : public testing::TestWithParam<NamedRegion> {};

TEST_P(AtlasRegion, HoldsArtInsideATransparentOneTexelGutter) {
    const Region r = GetParam().region;
    int maxAlpha = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const bool edge = x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1;
            if (edge) {
                ASSERT_EQ(At(x, y).a, 0) << "texel " << x << "," << y;
            }
            maxAlpha = std::max(maxAlpha, At(x, y).a);
        }
    }
    EXPECT_GE(maxAlpha, 200) << "nothing solid drawn";
}

INSTANTIATE_TEST_SUITE_P(EveryOne, AtlasRegion, testing::ValuesIn(EveryRegionAndCell()),
                         [](const auto& instance) { return instance.param.name; });

TEST(GenerateAtlas, TexelsOutsideEveryRegionAreTransparent) {
    const Region used[] = {atlas::kDialFace,  atlas::kSpeedBand,  atlas::kHub,          atlas::kNeedle,
                           atlas::kGearBadge, atlas::kGearGlyphs, atlas::kReadoutDigits};
    for (int y = 0; y < atlas::kAtlasHeight; ++y) {
        for (int x = 0; x < atlas::kAtlasWidth; ++x) {
            const bool inside = std::any_of(std::begin(used), std::end(used), [&](const Region& r) {
                return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            });
            if (!inside) {
                ASSERT_EQ(At(x, y).a, 0) << "texel " << x << "," << y;
            }
        }
    }
}

TEST(GenerateAtlas, CellsSitWhereTheDialLooksThemUp) {
    struct Cell {
        Region region;
        int left, top, right, bottom;
    };
    const Cell cells[] = {
        {atlas::GearGlyphCell(1), 582, 134, 626, 190},    {atlas::GearGlyphCell(9), 934, 134, 978, 190},
        {atlas::GearGlyphCell(0), 978, 134, 1022, 190},   {atlas::ReadoutDigitCell(1), 0, 291, 100, 451},
        {atlas::ReadoutDigitCell(9), 800, 291, 900, 451}, {atlas::ReadoutDigitCell(0), 900, 291, 1000, 451}};
    for (const Cell& c : cells) {
        EXPECT_EQ(c.region.left, c.left);
        EXPECT_EQ(c.region.top, c.top);
        EXPECT_EQ(c.region.right, c.right);
        EXPECT_EQ(c.region.bottom, c.bottom);
    }
}

// The dial draws the badge, the gear glyph and the digits with a vertex colour; only white
// texels take that colour unchanged.
TEST(GenerateAtlas, TintedPiecesAreWhite) {
    for (const Region r : {atlas::kGearBadge, atlas::kGearGlyphs}) {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const Texel t = At(x, y);
                if (t.a > 0) {
                    ASSERT_TRUE(t.r == 255 && t.g == 255 && t.b == 255) << "texel " << x << "," << y;
                }
            }
        }
    }
    // The digits' strokes are white; a soft dark halo around them is never fully opaque.
    const Region d = atlas::kReadoutDigits;
    int strokeTexels = 0;
    for (int y = d.top; y < d.bottom; ++y) {
        for (int x = d.left; x < d.right; ++x) {
            const Texel t = At(x, y);
            if (t.a == 255) {
                ++strokeTexels;
                ASSERT_TRUE(t.r == 255 && t.g == 255 && t.b == 255) << "texel " << x << "," << y;
            }
        }
    }
    EXPECT_GT(strokeTexels, 10 * 1000) << "ten digits of solid strokes";
}

// Alpha of a cell, one value per texel.
std::vector<int> AlphaOf(const Region& r) {
    std::vector<int> alpha;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            alpha.push_back(At(x, y).a);
    return alpha;
}

TEST(GenerateAtlas, GlyphRowsHoldTenDifferentDigits) {
    for (auto cellOf : {&atlas::GearGlyphCell, &atlas::ReadoutDigitCell}) {
        for (int i = 0; i <= 9; ++i) {
            for (int j = i + 1; j <= 9; ++j) {
                const std::vector<int> a = AlphaOf(cellOf(i));
                const std::vector<int> b = AlphaOf(cellOf(j));
                long difference = 0;
                long ink = 0;
                for (std::size_t k = 0; k < a.size(); ++k) {
                    difference += std::abs(a[k] - b[k]);
                    ink += a[k];
                }
                EXPECT_GT(difference * 10, ink) << "digits " << i << " and " << j << " look alike";
            }
        }
    }
}

TEST(DialAngleOfValue, SweepsFrom120AtRestTo360AtTheStop) {
    EXPECT_FLOAT_EQ(atlas::DialAngleOfValue(0), 120.0f);
    EXPECT_FLOAT_EQ(atlas::DialAngleOfValue(92.5f), 220.0f);
    EXPECT_FLOAT_EQ(atlas::DialAngleOfValue(222), 360.0f);
}

// The band's ring, measured straight up from the middle of its disc: radii in texels.
struct Ring {
    float outer = 0;
    float inner = 0;
};

Ring MeasureRingUpward() {
    const Region& band = atlas::kSpeedBand;
    const int column = band.left + band.Width() / 2;
    const float middle = static_cast<float>(band.Height()) / 2;
    int y = 0;
    while (y < band.Height() / 2 && At(column, y).a < 128)
        ++y;
    Ring ring;
    ring.outer = middle - static_cast<float>(y);
    while (y < band.Height() / 2 && At(column, y).a >= 128)
        ++y;
    ring.inner = middle - static_cast<float>(y);
    return ring;
}

TEST(GenerateAtlas, BandIsAnEvenRingAroundTheSweepAndClearInside) {
    const Ring ring = MeasureRingUpward();
    ASSERT_GT(ring.outer - ring.inner, 8.0f) << "outer " << ring.outer << " inner " << ring.inner;
    const float middle = (ring.outer + ring.inner) / 2;
    for (float degrees = 110; degrees <= 360; degrees += 2) {
        EXPECT_GE(OnDisc(atlas::kSpeedBand, middle, degrees).a, 230) << degrees << " degrees";
        EXPECT_EQ(OnDisc(atlas::kSpeedBand, ring.inner - 3, degrees).a, 0) << degrees << " degrees";
        EXPECT_EQ(OnDisc(atlas::kSpeedBand, 40, degrees).a, 0) << degrees << " degrees";
    }
}

TEST(GenerateAtlas, BandTurnsFromGreenAtRestThroughYellowToRedAtTheStop) {
    const Ring ring = MeasureRingUpward();
    const float middle = (ring.outer + ring.inner) / 2;
    for (float degrees : {112.0f, 125.0f}) {
        const Texel t = OnDisc(atlas::kSpeedBand, middle, degrees);
        EXPECT_GT(t.g, t.r + 60) << degrees << " degrees, green";
    }
    const Texel halfway = OnDisc(atlas::kSpeedBand, middle, 230);
    EXPECT_GT(std::min(halfway.r, halfway.g), 160) << "yellow";
    EXPECT_LT(halfway.b, 100) << "yellow";
    const Texel stop = OnDisc(atlas::kSpeedBand, middle, 357);
    EXPECT_GT(stop.r, stop.g + 100) << "red";
}

// The needle sprite is drawn 116 reference units tall from its 118 texels, with its top 145
// units from the pivot; the band's disc is drawn 290 units across from its 291 texels.
TEST(GenerateAtlas, NeedleTipEndsOnTheBandsOuterEdge) {
    const Region& needle = atlas::kNeedle;
    int tipRow = -1;
    int tipColumn = -1;
    for (int y = 0; y < needle.Height() && tipRow < 0; ++y) {
        for (int x = 0; x < needle.Width(); ++x) {
            if (Under(needle, static_cast<float>(x), static_cast<float>(y)).a >= 128) {
                tipRow = y;
                tipColumn = x;
                break;
            }
        }
    }
    ASSERT_GE(tipRow, 0);
    EXPECT_NEAR(tipColumn, needle.Width() / 2, 1) << "the needle points straight up";
    const float tipReach = 145.0f - static_cast<float>(tipRow) * 116.0f / 118.0f;

    const Ring ring = MeasureRingUpward();
    const float outer = ring.outer * 290.0f / 291.0f;
    const float inner = ring.inner * 290.0f / 291.0f;
    EXPECT_LE(tipReach, outer + 0.5f) << "the tip must not poke out of the band";
    EXPECT_GE(tipReach, outer - 2.5f) << "the tip must reach the band's outer edge";
    EXPECT_GT(tipReach, inner);
}

TEST(GenerateAtlas, FaceIsDarkWithLightTicksAtEachValuesAngle) {
    const Texel middle = OnDisc(atlas::kDialFace, 0, 0);
    EXPECT_EQ(middle.a, 255);
    EXPECT_LT(middle.Luminance(), 70);
    // Long and medium ticks cross radius 116 texels; between a medium tick and the short one
    // half-way to the next, the face shows.
    for (int value = 0; value <= 220; value += 10) {
        const float tick = atlas::DialAngleOfValue(static_cast<float>(value));
        const Texel on = OnDisc(atlas::kDialFace, 116, tick);
        EXPECT_GT(on.Luminance(), 120) << "tick for " << value;
        EXPECT_EQ(on.a, 255) << "tick for " << value;
        const Texel between =
            OnDisc(atlas::kDialFace, 116, atlas::DialAngleOfValue(static_cast<float>(value) + 2.5f));
        EXPECT_LT(between.Luminance(), 70) << "face after " << value;
    }
}

std::string BinDirectory() {
    const std::string self = testing_support::SelfPath();
    return self.substr(0, self.find_last_of("\\/") + 1);
}

TEST(ShippedDictionary, BesideThePluginHoldsTheGeneratedAtlas) {
    std::string error;
    const auto texture = txd::ReadTextureDictionaryFile(BinDirectory() + "models\\speedometer.txd", &error);
    ASSERT_TRUE(texture) << error;
    EXPECT_EQ(texture->name, "speedometer");
    EXPECT_EQ(texture->width, 1024U);
    EXPECT_EQ(texture->height, 512U);
    EXPECT_TRUE(texture->hasAlpha);
    EXPECT_TRUE(texture->rgba == Atlas()) << "the file differs from the generator's atlas";
}

} // namespace
