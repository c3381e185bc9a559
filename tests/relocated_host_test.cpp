// A stand-in host loaded 1 MiB below its preferred base: probes and load-time
// references use translated addresses; the first slot of a function keeps its own.
#include "host/HostAddress.hpp"
#include "host/HostReferences.hpp"
#include "host/HostVersion.hpp"
#include "tests/support/ProtectRecorder.hpp"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kShift = 0x100000;

TEST(RelocatedHost, TranslatesWithTheLoadAddress) {
    ASSERT_EQ(HostModuleBase(), 0x400000U - kShift);
    EXPECT_EQ(ToHostAddress(0x5B3860), 0x5B3860U - kShift);
    EXPECT_EQ(ToHostAddress(0), 0U - kShift) << "wrapping 32-bit arithmetic";
}

TEST(RelocatedHost, ProbesReadTranslatedAddresses) {
    EXPECT_EQ(CurrentHostVersion(), 1001U);
    testing_support::ProtectRecorder recorder;
    EXPECT_EQ(DetectHostVersion(), 1001U);
    ASSERT_FALSE(recorder.Calls().empty());
    EXPECT_EQ(recorder.Calls()[0].address, 0x401000U - kShift);
}

TEST(RelocatedHost, ReferencesHoldTranslatedSlots) {
    EXPECT_EQ(LoadTextureDictionaryReference.gated, 0x5B3860U);
    EXPECT_EQ(LoadTextureDictionaryReference.translated, 0x5B3860U - kShift);
    EXPECT_EQ(DialGateByteReference.translated, 0xA444A0U - kShift);
    EXPECT_EQ(DialGateStructReference.translated, 0xB6F028U - kShift);
}

} // namespace
