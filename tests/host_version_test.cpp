// Build detection, address translation and the load-time host references, in a
// stand-in host at the preferred base. The image gets its build (HOST_STANDIN_BUILD,
// default 1001) before the plugin code's initialisers run; other builds are checked
// in fresh processes, since the build is cached for the life of a process.
#include "host/HostAddress.hpp"
#include "host/HostReferences.hpp"
#include "host/HostVersion.hpp"
#include "standin/HostImage.hpp"
#include "tests/support/ChildProcess.hpp"
#include "tests/support/ProtectRecorder.hpp"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

using testing_support::ProtectRecorder;

namespace {

// Writes a build's signature for one test and puts 1001 back afterwards.
class SignatureScope {
public:
    explicit SignatureScope(std::uint32_t build) { standin::WriteSignature(build); }
    ~SignatureScope() { standin::WriteSignature(1001); }
};

class DetectBuild : public testing::TestWithParam<std::uint32_t> {};

TEST_P(DetectBuild, FromItsSignature) {
    SignatureScope scope(GetParam());
    EXPECT_EQ(DetectHostVersion(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(EveryKnownBuildAndNone, DetectBuild,
                         testing::Values(1001U, 1002U, 1011U, 1101U, 1111U, 3200U, 3210U, 0U));

TEST(DetectHostVersion, OnlyTheWholeValueMatches) {
    SignatureScope scope(standin::kNoSignature);
    const std::vector<std::uint8_t> almost1001{0x55, 0x8B, 0xEC, 0x00};
    standin::WriteBytes(standin::StandInAddress(0x401000), almost1001);
    EXPECT_EQ(DetectHostVersion(), 0U);
}

TEST(DetectHostVersion, FirstMatchEndsDetectionAfterOneRead) {
    SignatureScope scope(1001);
    const std::vector<std::uint8_t> also1011{0xBF, 0x94, 0x00, 0x00};
    standin::WriteBytes(standin::StandInAddress(0x8245BC), also1011);
    ProtectRecorder recorder;
    EXPECT_EQ(DetectHostVersion(), 1001U);
    ASSERT_EQ(recorder.Calls().size(), 2U) << "one window, opened and closed";
    EXPECT_EQ(recorder.Calls()[0].address, 0x401000U);
    EXPECT_EQ(recorder.Calls()[0].size, 4U);
}

TEST(DetectHostVersion, EveryProbeReadsAfreshInTableOrder) {
    SignatureScope scope(1011);
    ProtectRecorder recorder;
    EXPECT_EQ(DetectHostVersion(), 1011U);
    std::vector<std::uint32_t> opened;
    for (std::size_t i = 0; i < recorder.Calls().size(); i += 2) {
        opened.push_back(recorder.Calls()[i].address);
    }
    EXPECT_EQ(opened, (std::vector<std::uint32_t>{0x401000, 0x401000, 0x8245BC}));
}

TEST(CurrentHostVersion, IsComputedOnceAndKept) {
    EXPECT_EQ(CurrentHostVersion(), 1001U);
    SignatureScope scope(1002);
    EXPECT_EQ(CurrentHostVersion(), 1001U) << "rewriting the probed bytes later changes nothing";
}

TEST(HostAddressAtPreferredBase, TranslationIsTheIdentityAndWraps) {
    EXPECT_EQ(HostModuleBase(), 0x400000U);
    EXPECT_EQ(ToHostAddress(0x5B3860), 0x5B3860U);
    EXPECT_EQ(ToHostAddress(0), 0U);
    EXPECT_EQ(ToHostAddress(0xFFFFFFFF), 0xFFFFFFFFU);
}

TEST(HostReferences, ResolveOnASupportedBuild) {
    EXPECT_EQ(GlobalAddressByVersion(0x5B3860), 0x5B3860U);
    EXPECT_EQ(DialGateByteReference.translated, 0xA444A0U);
    EXPECT_EQ(DialGateStructReference.translated, 0xB6F028U);
    EXPECT_EQ(LoadTextureDictionaryReference.gated, 0x5B3860U);
    EXPECT_EQ(LoadTextureDictionaryReference.translated, 0x5B3860U);
}

TEST(HostImage, ProbesOutsideTheImageAreNotPartOfIt) {
    EXPECT_TRUE(HostImageContains(0x401000, 4));
    EXPECT_TRUE(HostImageContains(0x858D51, 4));
    EXPECT_FALSE(HostImageContains(0x10000, 4));
    EXPECT_FALSE(HostImageContains(0xFFFFFFFE, 4)) << "the end is computed without wrapping";
}

// Runs in a fresh process whose image was given HOST_STANDIN_BUILD before start-up.
TEST(FreshProcess, DISABLED_BuildFromEnvironment) {
    const auto expected =
        static_cast<std::uint32_t>(std::strtoul(std::getenv("HOST_STANDIN_BUILD"), nullptr, 10));
    ASSERT_EQ(CurrentHostVersion(), expected);
    const bool supported = expected == 1001 || expected == 1002;
    const std::uint32_t gated = supported ? 0x5B3860U : 0U;
    EXPECT_EQ(GlobalAddressByVersion(0x5B3860), gated);
    EXPECT_EQ(LoadTextureDictionaryReference.gated, gated);
    EXPECT_EQ(LoadTextureDictionaryReference.translated, gated);
    EXPECT_EQ(DialGateByteReference.translated, supported ? 0xA444A0U : 0U);
    EXPECT_EQ(DialGateStructReference.translated, supported ? 0xB6F028U : 0U);
}

class ReferencesOnBuild : public testing::TestWithParam<std::uint32_t> {};

TEST_P(ReferencesOnBuild, AreResolvedOrWithheld) {
    const auto result = testing_support::RunTestInFreshProcess(
        "FreshProcess.DISABLED_BuildFromEnvironment", {"HOST_STANDIN_BUILD=" + std::to_string(GetParam())});
    EXPECT_TRUE(testing_support::RanOneTestAndPassed(result)) << result.output;
}

INSTANTIATE_TEST_SUITE_P(EveryBuild, ReferencesOnBuild,
                         testing::Values(1002U, 1011U, 1101U, 1111U, 3200U, 3210U, 0U));

} // namespace
