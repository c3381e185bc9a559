#include "tools/atlas/Atlas.hpp"

#include "tools/atlas/Glyphs.hpp"

#include <cassert>
#include <string>

namespace atlas {
namespace {

// The face and the band share one layout: the band is drawn as a sector over the face with
// the same centre and size, so both discs line up texel for texel.
constexpr Vec2 kDialCentre{145.5f, 145.5f};
constexpr float kFaceRadius = 144.0f;
constexpr float kRimInner = 142.3f;
constexpr float kBandInner = 124.0f;
constexpr float kBandOuter = 141.5f;
constexpr float kBandStart = 110.0f; // the band's sector begins 10 degrees before the rest position
constexpr float kSweepStart = 120.0f;
constexpr float kSweepEnd = 360.0f;
constexpr float kSweepValue = 185.0f; // the value that turns the needle by 200 degrees
constexpr float kRedZoneFrom = 180.0f;
constexpr float kMajorTickInner = 104.0f;

// The needle sprite is drawn 145 reference units tall from its pivot up; 118 texels span
// the 116 units of the sprite, so a tip 4 texels below the top ends just inside the band's
// outer edge.
constexpr float kNeedleTipY = 4.0f;

const Colour kTickColour = Rgb(236, 238, 242);
const Colour kRedZoneColour = Rgb(255, 86, 64);
const Colour kWhite = Rgb(255, 255, 255);

struct GlyphStyle {
    float height;
    float widthRatio; // of the pen's box to its height
    float stroke;
};

GlyphOutline PlacedDigit(int digit, const GlyphStyle& style, Vec2 topLeft) {
    return PlaceOutline(DigitOutline(digit, style.widthRatio, 0.3f * style.widthRatio), topLeft,
                        style.height);
}

// A glyph of uniform white or colour; with a halo, a soft dark shadow around it keeps it
// legible over a bright scene.
void DrawGlyph(Canvas& canvas, const Region& region, const GlyphOutline& placed, const GlyphStyle& style,
               Colour colour, float halo = 0) {
    const InkSpan ink = HorizontalInk(placed);
    const float reach = style.stroke / 2 + halo + 1;
    Box bounds{ink.left - reach, 0, ink.right + reach, static_cast<float>(region.Height())};
    auto distance = [&](Vec2 p) { return DistanceToOutline(placed, p) - style.stroke / 2; };
    if (halo > 0)
        canvas.Paint(
            region, bounds, [&](Vec2 p) { return 1.0f - SmoothStep(-1.0f, halo, distance(p)); },
            [](Vec2) { return Rgb(0, 0, 0, 0.55f); });
    canvas.Paint(
        region, bounds, [&](Vec2 p) { return Coverage(distance(p)); }, [&](Vec2) { return colour; });
}

// A glyph whose ink is centred on a point.
void DrawCentredDigit(Canvas& canvas, const Region& region, int digit, Vec2 centre, const GlyphStyle& style,
                      Colour colour, float halo = 0) {
    const GlyphOutline unit = PlacedDigit(digit, style, {0, 0});
    const InkSpan ink = HorizontalInk(unit);
    const Vec2 topLeft{centre.x - (ink.left + ink.right) / 2, centre.y - style.height / 2};
    DrawGlyph(canvas, region, PlacedDigit(digit, style, topLeft), style, colour, halo);
}

// A number centred on a point, its digits set by their ink with a fixed gap between them.
void DrawNumber(Canvas& canvas, const Region& region, const std::string& text, Vec2 centre,
                const GlyphStyle& style, float gap, Colour colour) {
    std::vector<GlyphOutline> glyphs;
    float span = -gap;
    for (char c : text) {
        glyphs.push_back(PlacedDigit(c - '0', style, {0, 0}));
        const InkSpan ink = HorizontalInk(glyphs.back());
        span += ink.right - ink.left + gap;
    }
    float x = centre.x - span / 2;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const InkSpan ink = HorizontalInk(glyphs[i]);
        DrawGlyph(canvas, region,
                  PlacedDigit(text[i] - '0', style, {x - ink.left, centre.y - style.height / 2}), style,
                  colour);
        x += ink.right - ink.left + gap;
    }
}

// The width of a number as DrawNumber sets it, pen included.
float NumberWidth(const std::string& text, const GlyphStyle& style, float gap) {
    float span = -gap;
    for (char c : text) {
        const InkSpan ink = HorizontalInk(PlacedDigit(c - '0', style, {0, 0}));
        span += ink.right - ink.left + gap;
    }
    return span + style.stroke;
}

Colour FaceColour(float r) {
    const float t = r / kFaceRadius;
    return Mix(Rgb(40, 44, 53), Rgb(11, 12, 15), t * t);
}

void DrawFace(Canvas& canvas) {
    const Region& face = kDialFace;
    const Box whole = WholeOf(face);
    canvas.Paint(
        face, whole, [](Vec2 p) { return Coverage(Length(p - kDialCentre) - kFaceRadius); },
        [](Vec2 p) { return FaceColour(Length(p - kDialCentre)); });
    // A thin bright rim frames the dial; the band runs just inside it.
    canvas.Paint(
        face, whole,
        [](Vec2 p) {
            const float r = Length(p - kDialCentre);
            return Coverage(std::max(kRimInner - r, r - kFaceRadius));
        },
        [](Vec2 p) { return Mix(Rgb(200, 205, 215), Rgb(95, 100, 110), p.y / 291.0f); });
    // The empty track that the band fills.
    canvas.Paint(
        face, whole,
        [](Vec2 p) {
            return Coverage(
                SignedDistanceToRingSector(p, kDialCentre, kBandInner, kBandOuter, kBandStart, kSweepEnd));
        },
        [](Vec2) { return Rgb(255, 255, 255, 0.07f); });

    for (int value = 0; value <= 220; value += 5) {
        const bool major = value % 20 == 0;
        const bool minor = value % 10 == 0;
        const float outer = 121.0f;
        const float inner = major ? kMajorTickInner : minor ? 109.0f : 115.0f;
        const float halfWidth = major ? 1.7f : minor ? 1.1f : 0.7f;
        const Vec2 axis = Direction(DialAngleOfValue(static_cast<float>(value)));
        const Vec2 middle = kDialCentre + axis * ((inner + outer) / 2);
        const float halfLength = (outer - inner) / 2;
        const float reach = halfLength + halfWidth + 1;
        const Colour colour = static_cast<float>(value) >= kRedZoneFrom ? kRedZoneColour : kTickColour;
        canvas.Paint(
            face, {middle.x - reach, middle.y - reach, middle.x + reach, middle.y + reach},
            [&](Vec2 p) { return Coverage(SignedDistanceToBox(p, middle, axis, halfLength, halfWidth)); },
            [&](Vec2) { return colour; });
    }

    // Numerals every 20, upright, set in from the long ticks by their own extent.
    const GlyphStyle numeral{14.0f, 0.5f, 2.3f};
    constexpr float kGap = 2.6f;
    for (int value = 0; value <= 220; value += 20) {
        const std::string text = std::to_string(value);
        const float width = NumberWidth(text, numeral, kGap);
        const Vec2 axis = Direction(DialAngleOfValue(static_cast<float>(value)));
        const float extent =
            std::fabs(axis.x) * width / 2 + std::fabs(axis.y) * (numeral.height + numeral.stroke) / 2;
        const Vec2 centre = kDialCentre + axis * (kMajorTickInner - 5.0f - extent);
        const Colour colour = static_cast<float>(value) >= kRedZoneFrom ? kRedZoneColour : kTickColour;
        DrawNumber(canvas, face, text, centre, numeral, kGap, colour);
    }
    canvas.BleedColour(face, 2);
}

// Green at the needle's rest, through yellow and orange, to red at the stop. The band's sector
// starts at 110 degrees, so 55 to 120 stay green; 0 to 55, just past the stop, stay red, so
// filtering at either end of the sector meets the colour next to it.
Colour BandColour(float angle) {
    const float unwrapped = angle < 55.0f ? angle + 360.0f : angle;
    const float t = std::clamp((unwrapped - kSweepStart) / (kSweepEnd - kSweepStart), 0.0f, 1.0f);
    struct Stop {
        float at;
        Colour colour;
    };
    const Stop stops[] = {{0.0f, Rgb(40, 205, 95)},
                          {0.45f, Rgb(245, 214, 45)},
                          {0.75f, Rgb(255, 132, 32)},
                          {1.0f, Rgb(236, 38, 38)}};
    for (std::size_t i = 1; i < std::size(stops); ++i)
        if (t <= stops[i].at)
            return Mix(stops[i - 1].colour, stops[i].colour,
                       (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
    return stops[std::size(stops) - 1].colour;
}

void DrawBand(Canvas& canvas) {
    const Region& band = kSpeedBand;
    canvas.Paint(
        band, WholeOf(band),
        [](Vec2 p) {
            const float r = Length(p - kDialCentre);
            return Coverage(std::max(kBandInner - r, r - kBandOuter));
        },
        [](Vec2 p) {
            const Vec2 d = p - kDialCentre;
            Colour c = BandColour(AngleOf(d));
            // Lit from the rim inward: a little brighter at the outer edge.
            const float light = 0.72f + 0.28f * SmoothStep(kBandInner, kBandOuter, Length(d));
            c.r *= light;
            c.g *= light;
            c.b *= light;
            c.a = 0.95f;
            return c;
        });
    canvas.BleedColour(band, 2);
}

void DrawNeedle(Canvas& canvas) {
    const Region& needle = kNeedle;
    constexpr float kAxisX = 8.0f;
    constexpr float kTipRadius = 0.9f;
    constexpr float kBaseRadius = 4.0f;
    const Vec2 tip{kAxisX, kNeedleTipY + kTipRadius};
    const Vec2 base{kAxisX, 106.0f};
    const Box whole = WholeOf(needle);
    // A dark edge keeps the needle apart from the band's colours beneath it.
    canvas.Paint(
        needle, whole,
        [&](Vec2 p) {
            return Coverage(
                SignedDistanceToTaperedCapsule(p, base, tip, kBaseRadius + 1.2f, kTipRadius + 0.6f));
        },
        [](Vec2) { return Rgb(8, 8, 10, 0.6f); });
    canvas.Paint(
        needle, whole,
        [&](Vec2 p) {
            return Coverage(SignedDistanceToTaperedCapsule(p, base, tip, kBaseRadius, kTipRadius));
        },
        [&](Vec2 p) {
            const float ridge = 1.0f - std::min(1.0f, std::fabs(p.x - kAxisX) / kBaseRadius);
            return Mix(Rgb(222, 44, 22), Rgb(255, 160, 110), ridge);
        });
    canvas.BleedColour(needle, 2);
}

void DrawHub(Canvas& canvas) {
    const Region& hub = kHub;
    const Vec2 centre{38.0f, 38.0f};
    const Box whole = WholeOf(hub);
    canvas.Paint(
        hub, whole, [&](Vec2 p) { return Coverage(Length(p - centre) - 36.5f); },
        [](Vec2 p) { return Mix(Rgb(168, 173, 184), Rgb(44, 47, 54), p.y / 76.0f); });
    canvas.Paint(
        hub, whole,
        [&](Vec2 p) {
            const float r = Length(p - centre);
            return Coverage(std::max(35.4f - r, r - 36.5f));
        },
        [](Vec2) { return Rgb(10, 10, 12, 0.7f); });
    canvas.Paint(
        hub, whole, [&](Vec2 p) { return Coverage(Length(p - centre) - 30.0f); },
        [](Vec2 p) { return Mix(Rgb(14, 15, 18), Rgb(30, 32, 38), p.y / 76.0f); });
    canvas.BleedColour(hub, 2);
}

// White throughout: the dial draws the badge in the gear's colour.
void DrawBadge(Canvas& canvas) {
    const Region& badge = kGearBadge;
    const Vec2 centre{29.0f, 29.0f};
    const Box whole = WholeOf(badge);
    canvas.Paint(
        badge, whole, [&](Vec2 p) { return Coverage(Length(p - centre) - 25.0f); },
        [](Vec2) { return Rgb(255, 255, 255, 0.16f); });
    canvas.Paint(
        badge, whole,
        [&](Vec2 p) {
            const float r = Length(p - centre);
            return Coverage(std::max(25.0f - r, r - 27.5f));
        },
        [](Vec2) { return kWhite; });
}

void DrawGearGlyphs(Canvas& canvas) {
    const GlyphStyle gear{38.0f, 0.58f, 6.0f};
    for (int g = 0; g <= 9; ++g) {
        const Region cell = GearGlyphCell(g);
        DrawCentredDigit(canvas, cell, g, MiddleOf(cell), gear, kWhite);
    }
}

// Tabular figures: every digit keeps the same box in its cell, so the read-out does not jitter.
void DrawReadoutDigits(Canvas& canvas) {
    const GlyphStyle readout{124.0f, 0.435f, 14.0f};
    for (int digit = 0; digit <= 9; ++digit) {
        const Region cell = ReadoutDigitCell(digit);
        const Vec2 middle = MiddleOf(cell);
        const float width = readout.widthRatio * readout.height;
        const GlyphOutline placed =
            PlacedDigit(digit, readout, {middle.x - width / 2, middle.y - readout.height / 2});
        DrawGlyph(canvas, cell, placed, readout, kWhite, 6.0f);
    }
}

} // namespace

Region GearGlyphCell(int gear) {
    assert(gear >= 0 && gear <= 9 && "gears run from 0 to 9");
    const int left = gear == 0 ? 978 : kGearGlyphs.left + 44 * (gear - 1);
    return {left, kGearGlyphs.top, left + 44, kGearGlyphs.bottom};
}

Region ReadoutDigitCell(int digit) {
    assert(digit >= 0 && digit <= 9 && "digits run from 0 to 9");
    const int left = digit == 0 ? 900 : 100 * (digit - 1);
    return {left, kReadoutDigits.top, left + 100, kReadoutDigits.bottom};
}

float DialAngleOfValue(float value) {
    return kSweepStart + value * 200.0f / kSweepValue;
}

std::vector<std::uint8_t> GenerateAtlas() {
    Canvas canvas(kAtlasWidth, kAtlasHeight);
    for (const Region& white : {kGearBadge, kGearGlyphs, kReadoutDigits})
        canvas.Fill(white, Rgb(255, 255, 255, 0.0f));
    DrawFace(canvas);
    DrawBand(canvas);
    DrawNeedle(canvas);
    DrawHub(canvas);
    DrawBadge(canvas);
    DrawGearGlyphs(canvas);
    DrawReadoutDigits(canvas);
    return canvas.ToRgba8();
}

} // namespace atlas
