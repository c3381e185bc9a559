// The two host text draws, moved left for dial vehicles: exercised by running the host's
// own routine through each redirected call site, which pushes the cdecl arguments and
// removes them again after the call.
#include "speedometer/TextDisplacement.hpp"
#include "standin/HostCallSites.hpp"
#include "standin/HostFunctions.hpp"

#include <gtest/gtest.h>
#include <vector>

using standin::HostFunction;

namespace {

constexpr std::uint32_t kThird = 0x0ABCDEF1;

struct Drawn {
    HostFunction function;
    float x;
    float y;
    std::uint32_t third;
};

std::vector<Drawn> TextDraws() {
    std::vector<Drawn> drawn;
    for (const standin::HostCall& call : standin::HostCalls()) {
        if (call.function == HostFunction::DrawTextA || call.function == HostFunction::DrawTextB) {
            drawn.push_back({call.function, call.Float(0), call.Float(1), call.Word(2)});
        }
    }
    return drawn;
}

class TextDisplacement : public testing::Test {
protected:
    static void SetUpTestSuite() { InstallTextDisplacement(); }
    void SetUp() override { standin::ResetHostState(); }
    void TearDown() override { standin::ResetHostState(); }
};

struct ShiftCase {
    std::int32_t width;
    std::int32_t height;
    float shift;
};

class TextShift : public TextDisplacement, public testing::WithParamInterface<ShiftCase> {};

TEST_P(TextShift, MovesXLeftForADialVehicleAndPassesTheRestThrough) {
    standin::SetScreenSize(GetParam().width, GetParam().height);
    standin::SetPlayerVehicle({.type = 0, .gear = 1, .speed = 0.3f});
    EXPECT_EQ(standin::ExecuteTextSiteA(1500.0f, 40.5f, kThird),
              standin::kDrawTextATag | (kThird & 0x0FFFFFFF));
    EXPECT_EQ(standin::ExecuteTextSiteB(900.25f, 77.0f, kThird),
              standin::kDrawTextBTag | (kThird & 0x0FFFFFFF));
    const auto drawn = TextDraws();
    ASSERT_EQ(drawn.size(), 2U);
    EXPECT_EQ(drawn[0].function, HostFunction::DrawTextA);
    EXPECT_EQ(drawn[0].x, 1500.0f - GetParam().shift);
    EXPECT_EQ(drawn[0].y, 40.5f);
    EXPECT_EQ(drawn[0].third, kThird);
    EXPECT_EQ(drawn[1].function, HostFunction::DrawTextB);
    EXPECT_EQ(drawn[1].x, 900.25f - GetParam().shift);
    EXPECT_EQ(drawn[1].y, 77.0f);
}

INSTANTIATE_TEST_SUITE_P(Screens, TextShift,
                         testing::Values(ShiftCase{1920, 1080, 355.0f}, ShiftCase{1280, 720, 236.0f},
                                         ShiftCase{1080, 1920, 355.0f}, ShiftCase{2560, 1080, 355.0f}));

TEST_F(TextDisplacement, NoVehicleOrAnExcludedTypeLeavesXAlone) {
    standin::SetNoPlayerVehicle();
    standin::ExecuteTextSiteA(1500.0f, 40.0f, kThird);
    for (std::int32_t type : {3, 4, 5, 6, 10}) {
        standin::SetPlayerVehicle({.type = type, .gear = 1, .speed = 0.5f});
        standin::ExecuteTextSiteB(1500.0f, 40.0f, kThird);
    }
    const auto drawn = TextDraws();
    ASSERT_EQ(drawn.size(), 6U);
    for (const Drawn& d : drawn) {
        EXPECT_EQ(d.x, 1500.0f);
        EXPECT_EQ(d.y, 40.0f);
        EXPECT_EQ(d.third, kThird);
    }
}

TEST_F(TextDisplacement, ASecondInstallationLeavesTheSitesAsAfterTheFirst) {
    const auto a = standin::ReadBytes(standin::StandInAddress(standin::kTextSiteA), 5);
    const auto b = standin::ReadBytes(standin::StandInAddress(standin::kTextSiteB), 5);
    EXPECT_EQ(standin::CallTargetAt(standin::kTextSiteA),
              static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&DrawTextShiftedA)));
    EXPECT_EQ(standin::CallTargetAt(standin::kTextSiteB),
              static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&DrawTextShiftedB)));
    InstallTextDisplacement();
    EXPECT_EQ(standin::ReadBytes(standin::StandInAddress(standin::kTextSiteA), 5), a);
    EXPECT_EQ(standin::ReadBytes(standin::StandInAddress(standin::kTextSiteB), 5), b);
}

} // namespace
