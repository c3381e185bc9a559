// Loading and releasing the dial's artwork through the stand-in host.
#include "host/PluginPaths.hpp"
#include "speedometer/DialRenderer.hpp"
#include "speedometer/DialResources.hpp"
#include "speedometer/ScreenGeometry.hpp"
#include "speedometer/TextDisplacement.hpp"
#include "standin/HostCallSites.hpp"
#include "standin/HostFunctions.hpp"
#include "tests/support/ChildProcess.hpp"

#include <gtest/gtest.h>
#include <string>

using standin::HostFunction;

namespace {

std::string Directory() {
    std::string name = testing_support::SelfPath();
    return name.erase(name.find_last_of("\\/") + 1);
}

class DialResources : public testing::Test {
protected:
    void SetUp() override {
        standin::ResetHostState();
        DialDictionary = 0;
        DialTexture = nullptr;
    }
    void TearDown() override {
        DialDictionary = 0;
        DialTexture = nullptr;
        standin::ResetHostState();
    }
};

TEST_F(DialResources, LoadHandsTheComposedPathToTheHostAndKeepsWhatItReturns) {
    CosTable.fill(0.0f);
    LoadSpeedometerResources();
    const auto calls = standin::HostCalls();
    ASSERT_GE(calls.size(), 2U);
    EXPECT_EQ(standin::CallRecord(), "HostLoadTextureDictionary HostGetDictionaryTexture");
    EXPECT_EQ(std::string(calls[0].path.data()), Directory() + "models\\speedometer.txd");
    const std::uint32_t handle = calls[1].Word(0);
    ASSERT_NE(standin::FindDictionary(handle), nullptr);
    EXPECT_EQ(DialDictionary, handle);
    EXPECT_EQ(DialTexture, standin::FindDictionary(handle)->texture.get());
    EXPECT_EQ(CosTable[0], 1.0f) << "the angle tables are filled";
    EXPECT_EQ(standin::CallTargetAt(standin::kTextSiteA),
              static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&DrawTextShiftedA)));
}

TEST_F(DialResources, ASecondLoadOverwritesTheFirstAndReleaseUsesTheStoredHandle) {
    LoadSpeedometerResources();
    const std::uint32_t first = DialDictionary;
    LoadSpeedometerResources();
    const std::uint32_t second = DialDictionary;
    EXPECT_NE(first, second);
    standin::ClearCallLog();
    ReleaseSpeedometerResources();
    ASSERT_EQ(standin::HostCalls().size(), 1U);
    EXPECT_EQ(standin::HostCalls()[0].function, HostFunction::ReleaseTextureDictionary);
    EXPECT_EQ(standin::HostCalls()[0].Word(0), second);
}

TEST_F(DialResources, AfterReleaseNothingIsDrawnAndNothingIsReleasedAgain) {
    LoadSpeedometerResources();
    ReleaseSpeedometerResources();
    EXPECT_EQ(DialTexture, nullptr);
    standin::SetPlayerVehicle({.type = 0, .gear = 1, .speed = 0.5f});
    standin::ClearCallLog();
    DrawSpeedometer();
    ReleaseSpeedometerResources();
    EXPECT_EQ(standin::CallRecord(), "HostGetPlayerVehicle") << "no draw, no second release";
}

TEST_F(DialResources, AFailedLoadCountsAsNotLoaded) {
    standin::SetTextureLoader([](const std::string&) { return std::unique_ptr<standin::Texture>(); });
    LoadSpeedometerResources();
    EXPECT_EQ(standin::CallRecord(), "HostLoadTextureDictionary") << "no texture is asked of handle 0";
    EXPECT_EQ(DialDictionary, 0U);
    EXPECT_EQ(DialTexture, nullptr);
    standin::ClearCallLog();
    ReleaseSpeedometerResources();
    EXPECT_TRUE(standin::HostCalls().empty()) << "handle 0 is never handed back";
}

TEST_F(DialResources, ReleaseBeforeAnyLoadHandsNothingBack) {
    ReleaseSpeedometerResources();
    EXPECT_TRUE(standin::HostCalls().empty());
}

} // namespace
