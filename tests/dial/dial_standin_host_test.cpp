// The stand-in's host functions that later work relies on, called the way the plugin calls
// them: text draws, texture dictionaries and the render-state binding.
#include "host/HostGame.hpp"
#include "standin/HostFunctions.hpp"
#include "standin/TestAtlas.hpp"
#include "tests/dial/DialTestSupport.hpp"

#include <gtest/gtest.h>
#include <string>

namespace {

using dial_test::HostScope;

TEST(StandInHost, TextDrawsAreLoggedAndReturnTheirTagWithTheThirdArgument) {
    HostScope host;
    EXPECT_EQ(HostDrawTextA(10.5f, 20, 0x1234), standin::kDrawTextATag | 0x1234);
    EXPECT_EQ(HostDrawTextB(-3, 0.25f, 7), standin::kDrawTextBTag | 7);
    ASSERT_EQ(standin::HostCalls().size(), 2U);
    EXPECT_EQ(standin::Describe(standin::HostCalls()[0]), "HostDrawTextA(10.5, 20, 0x1234)");
    EXPECT_EQ(standin::Describe(standin::HostCalls()[1]), "HostDrawTextB(-3, 0.25, 0x7)");
}

TEST(StandInHost, LoadedDictionaryHandsOutTheTestAtlasWhoseFirstFieldBindsIt) {
    HostScope host;
    const std::uint32_t handle = HostLoadTextureDictionary("C:\\host\\scripts\\models\\speedometer.txd");
    ASSERT_NE(handle, 0U);
    EXPECT_EQ(standin::Describe(standin::HostCalls()[0]),
              "HostLoadTextureDictionary(\"C:\\host\\scripts\\models\\speedometer.txd\")");
    void* record = HostGetDictionaryTexture(handle);
    ASSERT_NE(record, nullptr);
    const auto* texture = static_cast<const standin::Texture*>(record);
    EXPECT_EQ(texture->image.width, 1024);
    EXPECT_EQ(texture->image.height, 512);
    EXPECT_EQ(texture->image.At(100, 100), standin::kAtlasFace);

    HostSetRenderState(1, HostTextureBindValue(record));
    EXPECT_EQ(standin::BoundTexture(), texture);
    HostSetRenderState(1, 0);
    EXPECT_EQ(standin::BoundTexture(), nullptr);

    EXPECT_EQ(HostReleaseTextureDictionary(handle), 1U);
    ASSERT_NE(standin::FindDictionary(handle), nullptr);
    EXPECT_TRUE(standin::FindDictionary(handle)->released);
    EXPECT_EQ(HostGetDictionaryTexture(handle), record) << "a released record stays readable";
}

TEST(StandInHost, ReplacedLoaderSeesThePathAndAFailedLoadGivesNoDictionary) {
    HostScope host;
    std::string asked;
    standin::SetTextureLoader([&](const std::string& path) {
        asked = path;
        return std::unique_ptr<standin::Texture>();
    });
    EXPECT_EQ(HostLoadTextureDictionary("models\\missing.txd"), 0U);
    EXPECT_EQ(asked, "models\\missing.txd");
    EXPECT_EQ(HostGetDictionaryTexture(0), nullptr);
    EXPECT_EQ(HostReleaseTextureDictionary(0), 0U);
}

} // namespace
