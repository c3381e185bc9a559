// DrawSpeedometer in a stand-in host at the preferred base: the vehicle and gate tests,
// the nine layers with their rectangles, atlas cells, angles and colours, the read-out,
// and the picture the host ends up with.
#include "speedometer/DialLayout.hpp"
#include "speedometer/DialRenderer.hpp"
#include "speedometer/DialResources.hpp"
#include "speedometer/SpriteQuads.hpp"
#include "standin/HostFunctions.hpp"
#include "standin/Rasteriser.hpp"
#include "standin/TestAtlas.hpp"
#include "tests/dial/DialTestSupport.hpp"
#include "tests/support/AllocationCount.hpp"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <string>

namespace {

using dial_test::AtlasOf;
using dial_test::CallsTo;
using dial_test::RectOf;
using standin::HostCall;
using standin::HostFunction;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// A host with the artwork loaded, the player in a car at the given speed and gear, and
// every gate open.
class DialHost {
public:
    explicit DialHost(float speed = 0.5f, std::uint8_t gear = 3) {
        standin::SetPlayerVehicle({0, gear, speed});
        DialTexture = HostGetDictionaryTexture(HostLoadTextureDictionary("models\\speedometer.txd"));
        standin::ClearCallLog();
    }

private:
    dial_test::HostScope scope_;
};

// The calls of one frame, split by layer.
struct DrawnFrame {
    std::vector<const HostCall*> rects; // face, needle, hub, badge, glyph, three digits
    std::vector<const HostCall*> quads; // their HostSetQuadVertices calls
    std::vector<const HostCall*> draws; // every HostDrawPrimitive
    const HostCall* sector = nullptr;   // the band's draw, if any
    const HostCall* needle = nullptr;   // the needle's draw
};

DrawnFrame DrawOneFrame() {
    standin::ClearCallLog();
    DrawSpeedometer();
    EXPECT_FALSE(standin::CallLogOverflowed());
    DrawnFrame frame;
    frame.rects = CallsTo(HostFunction::MakeRect);
    frame.quads = CallsTo(HostFunction::SetQuadVertices);
    frame.draws = CallsTo(HostFunction::DrawPrimitive);
    for (const HostCall* draw : frame.draws) {
        if (draw->Word(0) == 4) {
            frame.sector = draw;
        }
    }
    const std::size_t needleDraw = frame.sector != nullptr ? 2 : 1;
    if (frame.draws.size() > needleDraw) {
        frame.needle = frame.draws[needleDraw];
    }
    return frame;
}

const char* const kNineLayers = "HostGetPlayerVehicle HostGetVehicleSpeed HostSetRenderState"
                                " HostMakeRect HostSetQuadVertices HostDrawPrimitive(5)" // face
                                " HostDrawPrimitive(4)"                                  // band
                                " HostMakeRect HostSetQuadVertices HostDrawPrimitive(5)" // needle
                                " HostMakeRect HostSetQuadVertices HostDrawPrimitive(5)" // hub
                                " HostMakeRect HostSetQuadVertices HostDrawPrimitive(5)" // badge
                                " HostMakeRect HostSetQuadVertices HostDrawPrimitive(5)" // glyph
                                " HostMakeRect HostSetQuadVertices HostDrawPrimitive(5)" // hundreds
                                " HostMakeRect HostSetQuadVertices HostDrawPrimitive(5)" // tens
                                " HostMakeRect HostSetQuadVertices HostDrawPrimitive(5)" // units
                                " HostSetRenderState";

TEST(DrawSpeedometer, BindsTheDialTextureDrawsNineLayersInOrderAndUnbinds) {
    DialHost host(0.5f, 3);
    const DrawnFrame frame = DrawOneFrame();
    ASSERT_EQ(standin::CallRecord(), kNineLayers);

    const auto calls = standin::HostCalls();
    EXPECT_EQ(standin::Describe(calls[0]), "HostGetPlayerVehicle(-1, 1)");
    EXPECT_EQ(calls[1].Word(0), standin::VehicleRecordAddress() + 0x44) << "the record's speed object";
    const auto states = CallsTo(HostFunction::SetRenderState);
    EXPECT_EQ(states.front()->Word(0), 1U);
    EXPECT_EQ(states.front()->Word(1), *static_cast<const std::uint32_t*>(DialTexture))
        << "the texture record's first field";
    EXPECT_EQ(standin::Describe(*states.back()), "HostSetRenderState(1, 0)");
    EXPECT_EQ(standin::BoundTextureValue(), 0U);

    const AtlasRect expected[] = {kDialFaceAtlas,       kNeedleAtlas, kHubAtlas,    kGearBadgeAtlas,
                                  {670, 134, 714, 190}, DigitCell(0), DigitCell(9), DigitCell(2)};
    ASSERT_EQ(frame.quads.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(AtlasOf(*frame.quads[i]), expected[i]) << "layer quad " << i;
        EXPECT_EQ(frame.quads[i]->Word(0), frame.rects[i]->Word(0)) << "each quad uses the rect just made";
    }
    for (const HostCall* draw : frame.draws) {
        if (draw->Word(0) == 5) {
            EXPECT_EQ(draw->Word(1), 0xC80468U);
            EXPECT_EQ(draw->Word(2), 4U);
        }
    }
}

struct ScreenCase {
    const char* name;
    std::int32_t width;
    std::int32_t height;
    ScreenRect face;
    ScreenPoint pivot;
    float radius;
    ScreenRect needle;
    float digitsX[3];
    float digitWidth;
    float digitTop;
    float digitBottom;
};

class DialOnScreen : public testing::TestWithParam<ScreenCase> {};

TEST_P(DialOnScreen, PlacesEveryLayerInTheLowerRightCorner) {
    const ScreenCase& c = GetParam();
    DialHost host(1.5f); // the band ends at 360 degrees: its last spoke lies one radius right
    standin::SetScreenSize(c.width, c.height);
    const DrawnFrame frame = DrawOneFrame();
    ASSERT_EQ(frame.rects.size(), 8U) << standin::CallRecord();
    EXPECT_EQ(RectOf(*frame.rects[0]), c.face);
    EXPECT_EQ(RectOf(*frame.rects[1]), c.needle) << "before it is turned";
    for (unsigned place = 0; place < 3; ++place) {
        EXPECT_EQ(RectOf(*frame.rects[5 + place]),
                  (ScreenRect{c.digitsX[place], c.digitTop, c.digitsX[place] + c.digitWidth, c.digitBottom}))
            << "digit " << place;
    }
    ASSERT_NE(frame.sector, nullptr);
    const auto band = standin::DrawnVertices(*frame.sector);
    EXPECT_EQ(band[0].x, c.pivot.x);
    EXPECT_EQ(band[0].y, c.pivot.y);
    EXPECT_EQ(band[band.size() - 2].x, c.pivot.x + c.radius);
    EXPECT_EQ(band[band.size() - 2].y, c.pivot.y);
}

INSTANTIATE_TEST_SUITE_P(Screens, DialOnScreen,
                         testing::Values(ScreenCase{"Full1920x1080",
                                                    1920,
                                                    1080,
                                                    {1566, 750, 1856, 1040},
                                                    {1711, 895},
                                                    145,
                                                    {1703, 750, 1719, 866},
                                                    {1703, 1755, 1807},
                                                    63,
                                                    937,
                                                    1037},
                                         ScreenCase{"Small1280x720",
                                                    1280,
                                                    720,
                                                    {1044, 500, 1238, 694},
                                                    {1141, 597},
                                                    96,
                                                    {1136, 500, 1146, 578},
                                                    {1136, 1170, 1204},
                                                    42,
                                                    625,
                                                    692},
                                         ScreenCase{"Portrait1080x1920",
                                                    1080,
                                                    1920,
                                                    {726, 1590, 1016, 1880},
                                                    {871, 1735},
                                                    145,
                                                    {863, 1590, 879, 1706},
                                                    {863, 915, 967},
                                                    63,
                                                    1777,
                                                    1877}),
                         dial_test::CaseName());

struct Digit {
    unsigned digit;
    std::uint8_t alpha;
};

struct SpeedCase {
    const char* name;
    float rawSpeed;
    std::uint32_t bandVertices; // 0: no band
    std::uint32_t bandEndIndex;
    double needleTurn;
    Digit digits[3];
};

class DialAtSpeed : public testing::TestWithParam<SpeedCase> {};

TEST_P(DialAtSpeed, TurnsTheNeedleFillsTheBandAndShowsTheReadout) {
    const SpeedCase& c = GetParam();
    DialHost host(c.rawSpeed);
    const DrawnFrame frame = DrawOneFrame();
    const ScreenSize screen{1920, 1080};

    if (c.bandVertices == 0) {
        EXPECT_EQ(frame.sector, nullptr) << standin::CallRecord();
    } else {
        ASSERT_NE(frame.sector, nullptr) << standin::CallRecord();
        const auto band = standin::DrawnVertices(*frame.sector);
        ASSERT_EQ(band.size(), c.bandVertices);
        const ScreenVertex& end = band[band.size() - 2];
        EXPECT_EQ(end.x, 1711 + CosTable[c.bandEndIndex] * 145)
            << "the band ends at index " << c.bandEndIndex;
        EXPECT_EQ(end.y, 895 + SinTable[c.bandEndIndex] * 145) << "the band ends at index " << c.bandEndIndex;
    }

    ASSERT_NE(frame.needle, nullptr);
    dial_test::ExpectTurnedQuad(standin::DrawnVertices(*frame.needle), NeedleRect(screen), DialCentre(screen),
                                c.needleTurn);

    ASSERT_EQ(frame.quads.size(), 8U);
    for (unsigned place = 0; place < 3; ++place) {
        const HostCall& quad = *frame.quads[5 + place];
        EXPECT_EQ(AtlasOf(quad), DigitCell(c.digits[place].digit)) << "digit " << place;
        EXPECT_EQ(quad.colours[0].alpha, c.digits[place].alpha) << "digit " << place;
        EXPECT_EQ(quad.colours[0].red, 255);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, DialAtSpeed,
    testing::Values(
        SpeedCase{"Standing_NoBand_NeedleAt120_ThreeDimZeros", 0, 0, 0, 210, {{0, 30}, {0, 30}, {0, 30}}},
        SpeedCase{
            "Half_BandTo220_NeedleTurned310_Reads092", 0.5f, 41, 220, 310, {{0, 30}, {9, 255}, {2, 255}}},
        SpeedCase{
            "OneAndAHalf_NeedleStopsAtExactly90_Reads277", 1.5f, 87, 0, 90, {{2, 255}, {7, 255}, {7, 255}}},
        SpeedCase{"JustAboveTheBandThreshold_ShowsTheSliver_NeedleRaisedTo211",
                  0.002f,
                  7,
                  120,
                  211,
                  {{0, 30}, {0, 30}, {0, 30}}},
        SpeedCase{
            "AtTheBandThreshold_NoBand_NeedleRaisedTo211", 0.001f, 0, 0, 211, {{0, 30}, {0, 30}, {0, 30}}},
        SpeedCase{"Reads1000_LastThreeDigitsAllBright", 5.4081f, 87, 0, 90, {{0, 255}, {0, 255}, {0, 255}}},
        SpeedCase{"Reads1005_LastThreeDigitsAllBright", 5.4351f, 87, 0, 90, {{0, 255}, {0, 255}, {5, 255}}},
        SpeedCase{"Negative_NoBand_ReadsZero", -1, 0, 0, 10, {{0, 30}, {0, 30}, {0, 30}}},
        SpeedCase{"NaN_NoBand_NeedleUnturned_ReadsZero", kNaN, 0, 0, 0, {{0, 30}, {0, 30}, {0, 30}}},
        SpeedCase{
            "Infinite_FullBand_ReadsTheSaturatedCount", kInfinity, 87, 0, 90, {{2, 255}, {9, 255}, {5, 255}}},
        SpeedCase{"Huge_ReadsTheSaturatedCount", 1e30f, 87, 0, 90, {{2, 255}, {9, 255}, {5, 255}}}),
    dial_test::CaseName());

TEST(DialReadout, NumberIsRawSpeedTimes185InSinglePrecision) {
    EXPECT_EQ(ReadoutNumber(0.5f), 92U);
    EXPECT_EQ(ReadoutNumber(1.5f), 277U) << "the read-out keeps counting after the needle stops";
    EXPECT_EQ(ReadoutNumber(5.4081f), 1000U);
    EXPECT_EQ(ReadoutNumber(5.4351f), 1005U);
    EXPECT_EQ(SpeedBandEndAngle(NeedleSpeed(1.5f)), 360.0f) << "1.2f * 200 + 120 rounds to 360 in float";
}

struct GearCase {
    std::uint8_t gear;
    float cellX;
    HostColour colour;
};

TEST(DialGear, PicksTheGlyphCellAndColourOfTheGearByte) {
    const GearCase cases[] = {
        {0, 978, {255, 25, 120, 255}}, {1, 582, {0, 255, 255, 255}},  {5, 758, {0, 255, 255, 255}},
        {9, 934, {0, 255, 255, 255}},  {12, 934, {0, 255, 255, 255}}, {255, 934, {0, 255, 255, 255}},
    };
    for (const GearCase& c : cases) {
        DialHost host(0.5f, c.gear);
        const DrawnFrame frame = DrawOneFrame();
        ASSERT_EQ(frame.quads.size(), 8U);
        EXPECT_EQ(AtlasOf(*frame.quads[4]), (AtlasRect{c.cellX, 134, c.cellX + 44, 190}))
            << "gear " << +c.gear;
        for (const HostCall* layer : {frame.quads[3], frame.quads[4]}) {
            const HostColour& got = layer->colours[0];
            EXPECT_EQ((std::array{got.red, got.green, got.blue, got.alpha}),
                      (std::array{c.colour.red, c.colour.green, c.colour.blue, c.colour.alpha}))
                << "gear " << +c.gear;
        }
        EXPECT_EQ(frame.quads[2]->colours[0].green, 255) << "the hub stays white";
    }
}

struct QuietCase {
    const char* name;
    std::function<void()> arrange;
};

class DialStaysQuiet : public testing::TestWithParam<QuietCase> {};

TEST_P(DialStaysQuiet, CallsNothingButTheVehicleQueryAndLeavesTheRenderState) {
    DialHost host;
    GetParam().arrange();
    constexpr std::uint32_t kHostsTexture = 0x5EED;
    standin::SetBoundTextureValue(kHostsTexture);
    DrawOneFrame();
    EXPECT_EQ(standin::CallRecord(), "HostGetPlayerVehicle");
    EXPECT_EQ(standin::BoundTextureValue(), kHostsTexture);
}

void Gates(std::uint8_t standin::DialGates::*gate, std::uint8_t value) {
    standin::DialGates gates;
    gates.*gate = value;
    standin::SetDialGates(gates);
}

void VehicleOfType(std::int32_t type) {
    standin::SetPlayerVehicle({type, 1, 0.5f});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialStaysQuiet,
    testing::Values(QuietCase{"NoVehicle", [] { standin::SetNoPlayerVehicle(); }},
                    QuietCase{"VehicleType3", [] { VehicleOfType(3); }},
                    QuietCase{"VehicleType4", [] { VehicleOfType(4); }},
                    QuietCase{"VehicleType5", [] { VehicleOfType(5); }},
                    QuietCase{"VehicleType6", [] { VehicleOfType(6); }},
                    QuietCase{"VehicleType10", [] { VehicleOfType(10); }},
                    QuietCase{"GateBA6769Zero", [] { Gates(&standin::DialGates::openByte, 0); }},
                    QuietCase{"GateA43088One", [] { Gates(&standin::DialGates::modeByte, 1); }},
                    QuietCase{"GateC8A7C1NonZero", [] { Gates(&standin::DialGates::closedByte, 7); }},
                    QuietCase{"GateAtReferenceOfA444A0Zero",
                              [] { Gates(&standin::DialGates::referencedByte, 0); }},
                    QuietCase{"GateInStructureAtReferenceOfB6F028NonZero",
                              [] { Gates(&standin::DialGates::structByte, 1); }},
                    QuietCase{"NoDialTextureLoaded", [] { DialTexture = nullptr; }}),
    dial_test::CaseName());

TEST(DrawSpeedometer, DrawsForEveryOtherVehicleTypeAndOpenGateValue) {
    const std::function<void()> cases[] = {
        [] { VehicleOfType(0); },
        [] { VehicleOfType(2); },
        [] { VehicleOfType(7); },
        [] { VehicleOfType(9); },
        [] { VehicleOfType(11); },
        [] { VehicleOfType(-1); },
        [] { Gates(&standin::DialGates::openByte, 0x80); },
        [] { Gates(&standin::DialGates::modeByte, 2); },
        [] { Gates(&standin::DialGates::referencedByte, 0xFF); },
    };
    for (const auto& arrange : cases) {
        DialHost host;
        arrange();
        DrawOneFrame();
        EXPECT_EQ(standin::CallRecord(), kNineLayers);
    }
}

TEST(DrawSpeedometer, AllocatesNothing) {
    DialHost host(0.5f);
    standin::StartFrameCapture();
    const std::size_t before = testing_support::AllocationCount();
    DrawSpeedometer();
    const std::size_t during = testing_support::AllocationCount() - before;
    EXPECT_EQ(during, 0U);
    EXPECT_EQ(standin::CallRecord(), kNineLayers);
}

// Picture tests: the stand-in rasterises every draw into a frame; pixels at known places
// show which atlas region landed there.
struct Sample {
    const char* what;
    float x;
    float y;
    standin::Rgba colour;
};

standin::Rgba Modulated(standin::Rgba texel, const HostColour& colour) {
    const auto scale = [](int a, int b) { return static_cast<std::uint8_t>((a * b + 127) / 255); };
    return {scale(texel.r, colour.red), scale(texel.g, colour.green), scale(texel.b, colour.blue),
            scale(texel.a, colour.alpha)};
}

// A point at `degrees` (0 right, clockwise) and `distance` pixels from the pivot (1711, 895).
Sample Around(const char* what, double degrees, double distance, standin::Rgba colour) {
    const double a = degrees * std::numbers::pi / 180;
    return {what, static_cast<float>(1711 + distance * std::cos(a)),
            static_cast<float>(895 + distance * std::sin(a)), colour};
}

// The open part of a read-out digit cell.
Sample DigitAt(const char* what, unsigned place, standin::Rgba colour) {
    return {what, static_cast<float>(1703 + 52 * place + 63 * standin::kCellOpenX),
            static_cast<float>(937 + 100 * standin::kCellOpenY), colour};
}

void ExpectSamples(float speed, std::uint8_t gear, std::initializer_list<Sample> samples) {
    DialHost host(speed, gear);
    standin::StartFrameCapture();
    DrawSpeedometer();
    const standin::Image& frame = standin::CapturedFrame();
    ASSERT_EQ(frame.width, 1920);
    ASSERT_EQ(frame.height, 1080);
    for (const Sample& s : samples) {
        const standin::Rgba got = frame.At(static_cast<int>(s.x), static_cast<int>(s.y));
        EXPECT_EQ(got, s.colour) << s.what << " at " << s.x << ", " << s.y << ": got " << +got.r << " "
                                 << +got.g << " " << +got.b;
    }
}

const standin::Rgba kDimZeroOnFace = standin::Blend(standin::kAtlasFace, {255, 255, 255, 30});

TEST(DialPicture, AtHalfSpeedShowsFaceBandNeedleHubBadgeGlyphAndDigits) {
    const HostColour cyan{0, 255, 255, 255};
    ExpectSamples(0.5f, 3,
                  {
                      {"background", 100, 100, standin::kFrameBackground},
                      {"face corner", 1572, 1034, standin::kAtlasFace},
                      Around("face past the band's end", 250, 120, standin::kAtlasFace),
                      Around("band", 165, 120, standin::kAtlasBand),
                      Around("needle towards 220 degrees", 220, 80, standin::kAtlasNeedle),
                      {"hub", 1678, 862, standin::kAtlasHub},
                      {"badge", 1686, 870, Modulated(standin::kAtlasBadge, cyan)},
                      {"gear 3 glyph", 1711, 888, Modulated(standin::AtlasCellColour(3), cyan)},
                      DigitAt("dim hundreds 0", 0, kDimZeroOnFace),
                      DigitAt("bright tens 9", 1, standin::AtlasCellColour(9)),
                      DigitAt("bright units 2", 2, standin::AtlasCellColour(2)),
                  });
}

TEST(DialPicture, StandingStillShowsNoBandAndTheNeedleAt120Degrees) {
    const HostColour pink{255, 25, 120, 255};
    ExpectSamples(0, 0,
                  {
                      Around("face where the band would be", 165, 120, standin::kAtlasFace),
                      Around("needle towards 120 degrees", 120, 80, standin::kAtlasNeedle),
                      Around("face beside the needle", 135, 80, standin::kAtlasFace),
                      {"neutral glyph", 1711, 888, Modulated(standin::AtlasCellColour(0), pink)},
                      DigitAt("dim units 0", 2, kDimZeroOnFace),
                  });
}

TEST(DialPicture, AtFullSpeedTheNeedlePointsRightOverAFullBand) {
    ExpectSamples(1.5f, 4,
                  {
                      Around("needle pointing right", 0, 80, standin::kAtlasNeedle),
                      Around("band near its end", 340, 120, standin::kAtlasBand),
                      Around("band at the top", 270, 120, standin::kAtlasBand),
                      Around("face before the band's start", 100, 120, standin::kAtlasFace),
                      DigitAt("bright hundreds 2", 0, standin::AtlasCellColour(2)),
                  });
}

} // namespace
