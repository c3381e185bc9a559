// Reference scaling, the angle tables, the float-to-integer conversions and the four drawing
// primitives, through the stand-in host's call log and quad buffer.
#include "speedometer/DialLayout.hpp"
#include "speedometer/FloatConversion.hpp"
#include "speedometer/ScreenGeometry.hpp"
#include "speedometer/SpriteQuads.hpp"
#include "standin/HostFunctions.hpp"
#include "tests/dial/DialTestSupport.hpp"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>

using dial_test::CallsTo;
using dial_test::HostScope;
using standin::HostFunction;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct ScaleCase {
    const char* name;
    std::int32_t width;
    std::int32_t height;
    float k;
    float scaled;
};

class ScaleFrom1080OnScreen : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleFrom1080OnScreen, GivesTheTruncatedPixelLength) {
    HostScope host;
    const ScaleCase& c = GetParam();
    standin::SetScreenSize(c.width, c.height);
    EXPECT_EQ(ScaleFrom1080(c.k), c.scaled);
    EXPECT_EQ(ScaleFrom1080({c.width, c.height}, c.k), c.scaled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaleFrom1080OnScreen,
    testing::Values(ScaleCase{"Full_100_8_Gives100", 1920, 1080, 100.8f, 100},
                    ScaleCase{"Small_145_Gives96", 1280, 720, 145, 96},
                    ScaleCase{"Small_290_Gives193", 1280, 720, 290, 193},
                    ScaleCase{"Portrait_UsesItsWidth_145_Gives145", 1080, 1920, 145, 145},
                    ScaleCase{"Large_100_8_Gives201", 3840, 2160, 100.8f, 201},
                    ScaleCase{"Full_7_Gives7_BecauseItMultipliesBeforeDividing", 1920, 1080, 7, 7},
                    ScaleCase{"Small_169_5_Gives113_BecauseItMultipliesBeforeDividing", 1280, 720, 169.5f,
                              113},
                    ScaleCase{"Medium_7_2_Gives6_InSinglePrecision", 1600, 900, 7.2f, 6}),
    dial_test::CaseName());

TEST(EdgeOffsets, OnSmallScreenAreTruncatedOneByOne) {
    HostScope host;
    standin::SetScreenSize(1280, 720);
    EXPECT_EQ(FromRightEdge(354), 1044.0f);
    EXPECT_EQ(FromRightEdge(64), 1238.0f);
    EXPECT_EQ(FromRightEdge(64) - FromRightEdge(354), 194.0f) << "while ScaleFrom1080(290) is 193";
    EXPECT_EQ(FromBottomEdge(330), 500.0f);
    EXPECT_EQ(FromBottomEdge(40), 694.0f);
}

TEST(EdgeOffsets, ReadTheScreenSizeAtEveryCall) {
    HostScope host;
    standin::SetScreenSize(1920, 1080);
    EXPECT_EQ(FromRightEdge(354), 1566.0f);
    standin::SetScreenSize(1280, 720);
    EXPECT_EQ(FromRightEdge(354), 1044.0f);
}

TEST(AngleTables, HoldFloatAnglesEvaluatedInDouble) {
    HostScope host;
    EXPECT_EQ(CosTable[0], 1.0f);
    EXPECT_EQ(SinTable[0], 0.0f);
    EXPECT_EQ(SinTable[90], 1.0f);
    EXPECT_EQ(CosTable[180], -1.0f);
    // The angle 90 * 0.0174532924f lies just past pi / 2; an angle in double would give 6e-17.
    EXPECT_FLOAT_EQ(CosTable[90], -4.37113883e-08f);
    EXPECT_FLOAT_EQ(SinTable[180], -8.74227766e-08f);
    EXPECT_FLOAT_EQ(CosTable[60], 0.5f);
    EXPECT_FLOAT_EQ(SinTable[270], -1.0f);
}

struct IndexCase {
    float degrees;
    std::uint32_t index;
};

TEST(WholeDegreeIndex, IsTheDegreeAtOrBelowRepeatingEvery360AndZeroForNonNumbers) {
    const IndexCase cases[] = {
        {0, 0},         {0.9f, 0},       {119.99f, 119},       {120.2f, 120},
        {359.9f, 359},  {360, 0},        {365.5f, 5},          {720.5f, 0},
        {-30, 330},     {-30.5f, 329},   {-0.0f, 0},           {-1e-30f, 359},
        {-360, 0},      {-725, 355},     {1e20f, 272},         {kNaN, 0},
        {kInfinity, 0}, {-kInfinity, 0}, {4499999744.0f, 104}, {4500011520.0f, 0}, // beyond 32 bits
    };
    for (const IndexCase& c : cases) {
        EXPECT_EQ(WholeDegreeIndex(c.degrees), c.index) << c.degrees;
    }
}

struct CountCase {
    float value;
    std::uint32_t count;
};

TEST(SaturatingUint32, TruncatesOrdinaryValuesAndSaturatesTheRest) {
    const CountCase cases[] = {
        {0, 0},
        {0.99f, 0},
        {92.5f, 92},
        {277.5f, 277},
        {4294967040.0f, 4294967040U}, // the largest float below 2^32
        {4294967296.0f, std::numeric_limits<std::uint32_t>::max()},
        {1e30f, std::numeric_limits<std::uint32_t>::max()},
        {kInfinity, std::numeric_limits<std::uint32_t>::max()},
        {-0.5f, 0},
        {-1e30f, 0},
        {-kInfinity, 0},
        {kNaN, 0},
    };
    for (const CountCase& c : cases) {
        EXPECT_EQ(SaturatingUint32(c.value), c.count) << c.value;
    }
}

TEST(DrawAtlasQuad, MakesTheRectSetsOneColourFourTimesAndDrawsTheQuadBuffer) {
    HostScope host;
    const HostColour colour{10, 20, 30, 40};
    DrawAtlasQuad(1703, 750, 1719, 866, colour, kNeedleAtlas);
    ASSERT_EQ(standin::CallRecord(), "HostMakeRect HostSetQuadVertices HostDrawPrimitive(5)");
    const auto& calls = standin::HostCalls();
    EXPECT_EQ(dial_test::RectOf(calls[0]), (ScreenRect{1703, 750, 1719, 866}));

    const standin::HostCall& set = calls[1];
    EXPECT_EQ(set.Word(0), calls[0].Word(0)) << "the rectangle HostMakeRect filled, by address";
    for (std::size_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(set.Word(i), set.Word(1)) << "one colour record for all four corners";
        EXPECT_EQ(set.colours[i - 1].green, 20);
        EXPECT_EQ(set.colours[i - 1].alpha, 40);
    }
    const float uL = 658.0f / 1024, uR = 674.0f / 1024, vT = 0, vB = 118.0f / 512;
    const float expectedUv[] = {uL, vT, uR, vT, uL, vB, uR, vB};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(set.Float(5 + i), expectedUv[i]) << standin::Describe(set);
    }
    EXPECT_EQ(calls[2].Word(0), 5U);
    EXPECT_EQ(calls[2].Word(1), 0xC80468U) << "the host's quad buffer";
    EXPECT_EQ(calls[2].Word(2), 4U);
}

TEST(DrawDigitCell, TakesTheDigitsCellAndTheAlphaOnWhite) {
    HostScope host;
    struct Case {
        unsigned digit;
        float cellX;
    };
    for (const Case c : {Case{0, 900}, Case{1, 0}, Case{5, 400}, Case{9, 800}}) {
        standin::ClearCallLog();
        DrawDigitCell(c.digit, 30, 1703, 937, 63, 100);
        const auto rects = CallsTo(HostFunction::MakeRect);
        const auto quads = CallsTo(HostFunction::SetQuadVertices);
        ASSERT_EQ(rects.size(), 1U);
        ASSERT_EQ(quads.size(), 1U);
        EXPECT_EQ(dial_test::RectOf(*rects[0]), (ScreenRect{1703, 937, 1766, 1037}));
        EXPECT_EQ(dial_test::AtlasOf(*quads[0]), (AtlasRect{c.cellX, 291, c.cellX + 100, 451})) << c.digit;
        const HostColour& colour = quads[0]->colours[0];
        EXPECT_EQ((std::array{colour.red, colour.green, colour.blue, colour.alpha}),
                  (std::array<std::uint8_t, 4>{255, 255, 255, 30}));
    }
}

struct TurnCase {
    const char* name;
    float angle;
    double turn; // clockwise degrees actually turned
};

class RotateHostQuadBy : public testing::TestWithParam<TurnCase> {};

TEST_P(RotateHostQuadBy, TurnsTheQuadBufferClockwiseByWholeDegrees) {
    HostScope host;
    const ScreenRect rect{1703, 750, 1719, 866};
    const ScreenPoint pivot{1711, 895};
    SetAtlasQuad(rect, kDialWhite, kNeedleAtlas);
    const ScreenVertex before = HostQuadVertices()[0];
    RotateHostQuad(pivot.x, pivot.y, GetParam().angle);
    dial_test::ExpectTurnedQuad({HostQuadVertices(), 4}, rect, pivot, GetParam().turn);
    EXPECT_EQ(HostQuadVertices()[0].u, before.u) << "only x and y change";
    EXPECT_EQ(HostQuadVertices()[0].colour, before.colour);
    EXPECT_EQ(standin::CallRecord(), "HostMakeRect HostSetQuadVertices")
        << "turning calls nothing on the host";
}

INSTANTIATE_TEST_SUITE_P(Cases, RotateHostQuadBy,
                         testing::Values(TurnCase{"Angle450_Turns90", 450, 90},
                                         TurnCase{"AngleMinus30_Turns330", -30, 330},
                                         TurnCase{"Angle210_3_Turns211", 210.3f, 211},
                                         TurnCase{"Angle310_Turns310", 310, 310},
                                         TurnCase{"Angle0_LeavesItUnchanged", 0, 0},
                                         TurnCase{"Angle360_LeavesItUnchanged", 360, 0},
                                         TurnCase{"AngleMinus0_25_RoundsUpToAFullTurn", -0.25f, 0},
                                         TurnCase{"NaN_LeavesItUnchanged", kNaN, 0},
                                         TurnCase{"Infinity_LeavesItUnchanged", kInfinity, 0}),
                         dial_test::CaseName());

struct SectorCase {
    const char* name;
    float start;
    float end;
    std::vector<std::uint32_t> spokeIndices; // the table index of every spoke, in order
};

class DrawTexturedSectorFrom : public testing::TestWithParam<SectorCase> {};

TEST_P(DrawTexturedSectorFrom, WritesCentreAndSpokesAndDrawsOneStrip) {
    HostScope host;
    const SectorCase& c = GetParam();
    const float cx = 1711, cy = 895, rx = 145, ry = 100;
    DrawTexturedSector(1024, 512, 291, 0, 291, 291, cx, cy, rx, ry, c.start, c.end);
    const auto draws = CallsTo(HostFunction::DrawPrimitive);
    ASSERT_EQ(standin::CallRecord(), "HostDrawPrimitive(4)");
    EXPECT_EQ(draws[0]->Word(1), reinterpret_cast<std::uintptr_t>(SectorVertices.data()));
    const auto vertices = standin::DrawnVertices(*draws[0]);
    ASSERT_EQ(vertices.size(), 1 + 2 * c.spokeIndices.size());
    for (std::size_t n = 0; n < vertices.size(); ++n) {
        const ScreenVertex& v = vertices[n];
        EXPECT_EQ(v.z, 0.0f);
        EXPECT_EQ(v.rhw, 1.0f);
        EXPECT_EQ(v.colour, 0xFFFFFFFFU);
        if (n % 2 == 0) {
            EXPECT_EQ(v.x, cx) << "vertex " << n << " is the centre";
            EXPECT_EQ(v.y, cy) << "vertex " << n << " is the centre";
            EXPECT_FLOAT_EQ(v.u, 436.5f / 1024);
            EXPECT_FLOAT_EQ(v.v, 145.5f / 512);
        } else {
            const std::uint32_t i = c.spokeIndices[n / 2];
            EXPECT_EQ(v.x, cx + CosTable[i] * rx) << "spoke " << n / 2 << " at table index " << i;
            EXPECT_EQ(v.y, cy + SinTable[i] * ry) << "spoke " << n / 2 << " at table index " << i;
        }
    }
}

std::vector<std::uint32_t> EverySixDegrees(std::uint32_t from, std::uint32_t steps) {
    std::vector<std::uint32_t> spokes;
    for (std::uint32_t k = 0; k < steps; ++k) {
        spokes.push_back((from + 6 * k) % 360);
    }
    return spokes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawTexturedSectorFrom,
    testing::Values(SectorCase{"From110To120_2_ClosesAtIndex120_SevenVertices", 110, 120.2f, {110, 116, 120}},
                    SectorCase{"From110To122_ClosesOnTheLastStep_SevenVertices", 110, 122, {110, 116, 122}},
                    SectorCase{"From300To360_ClosesAtIndex0", 300, 360,
                               [] {
                                   auto s = EverySixDegrees(300, 10);
                                   s.push_back(0);
                                   return s;
                               }()},
                    SectorCase{"FromMinus30ToMinus20_WrapsToIndex330", -30, -20, {330, 336, 340}},
                    SectorCase{"From0To400_StopsAfter60Steps_121Vertices", 0, 400, EverySixDegrees(0, 60)},
                    SectorCase{"From110ToNaN_StopsAfter60Steps", 110, kNaN, EverySixDegrees(110, 60)}),
    dial_test::CaseName());

TEST(DrawTexturedSector, MapsTheSourceRectangleOntoTheEllipsesBoundingBox) {
    HostScope host;
    DrawTexturedSector(1024, 512, 291, 0, 291, 291, 100, 100, 145, 100, 0, 90);
    const auto vertices = standin::DrawnVertices(standin::HostCalls()[0]);
    ASSERT_GE(vertices.size(), 3U);
    EXPECT_FLOAT_EQ(vertices[1].u, 582.0f / 1024) << "the spoke at 0 degrees touches the right edge";
    EXPECT_FLOAT_EQ(vertices[1].v, 145.5f / 512);
    const ScreenVertex& last = vertices[vertices.size() - 2];
    EXPECT_FLOAT_EQ(last.u, 436.5f / 1024) << "the spoke at 90 degrees touches the bottom edge";
    EXPECT_FLOAT_EQ(last.v, 291.0f / 512);
    EXPECT_NEAR(last.y, 200, 1e-4) << "radiusY applies to y";
}

} // namespace
