// The shipped plugin file in the stand-in host, loaded with LoadLibraryA as a plugin
// loader would, one fresh process per scenario. The same scenarios run in a stand-in at
// the host's preferred base and in one loaded 1 MiB below it; every host address here goes
// through StandInAddress, so both must behave alike.
#include "standin/HostCallSites.hpp"
#include "standin/HostFunctions.hpp"
#include "standin/HostImage.hpp"
#include "standin/TxdTextureLoader.hpp"
#include "tests/end_to_end/PluginInstall.hpp"
#include "tests/support/ChildProcess.hpp"
#include "tests/support/HotPatch.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

using namespace standin;
using end_to_end::ImageOf;
using end_to_end::InstallPlugin;
using testing_support::MessageBoxCounter;
using testing_support::ProcessProtectRecorder;

namespace {

constexpr std::array<Address, 3> kEventSites{kInitSite, kDrawSite, kShutdownSite};
constexpr std::array<Address, 2> kTextSites{kTextSiteA, kTextSiteB};

std::uint32_t BuildFromEnvironment() {
    const char* build = std::getenv("E2E_BUILD");
    return build != nullptr ? static_cast<std::uint32_t>(std::strtoul(build, nullptr, 10)) : 1001U;
}

// The host sites, in the order in which access windows were first opened on them.
template <std::size_t N>
std::vector<Address> SitesInOrderOfFirstWindow(const ProcessProtectRecorder& recorder,
                                               const std::array<Address, N>& sites) {
    std::vector<Address> order;
    for (const std::uint32_t window : recorder) {
        for (const Address site : sites) {
            const Address at = StandInAddress(site);
            if (window >= at && window < at + 5 &&
                std::find(order.begin(), order.end(), site) == order.end()) {
                order.push_back(site);
            }
        }
    }
    return order;
}

std::vector<std::string> LoadedPaths() {
    std::vector<std::string> paths;
    for (const HostCall& call : HostCalls()) {
        if (call.function == HostFunction::LoadTextureDictionary) {
            paths.emplace_back(call.path.data());
        }
    }
    return paths;
}

int CountOf(HostFunction function) {
    const auto calls = HostCalls();
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [function](const HostCall& c) { return c.function == function; }));
}

// The host sites (each 5 bytes) that the changed bytes of host code fall in; a changed
// byte outside every site shows as its own address.
template <std::size_t N>
std::vector<Address> ChangedSites(const HostCodeSnapshot& before, const std::array<Address, N>& sites) {
    std::vector<Address> changed;
    for (const Address address : before.ChangedAddresses(4096)) {
        Address where = address;
        for (const Address site : sites) {
            if (address >= StandInAddress(site) && address < StandInAddress(site) + 5) {
                where = site;
            }
        }
        if (std::find(changed.begin(), changed.end(), where) == changed.end()) {
            changed.push_back(where);
        }
    }
    std::sort(changed.begin(), changed.end());
    return changed;
}

// Draws one frame through the draw site and returns it.
Image DrawFrame(float speed) {
    SetPlayerVehicle({.type = 0, .gear = 3, .speed = speed});
    StartFrameCapture();
    ExecuteDrawSite();
    Image frame = CapturedFrame();
    StopFrameCapture();
    return frame;
}

class Scenario : public testing::Test {
protected:
    void SetUp() override {
        PrepareHost(BuildFromEnvironment());
        SetTextureLoader(TxdFileLoader());
    }
};

TEST_F(Scenario, DISABLED_SupportedBuild) {
    ASSERT_EQ(ImageBase(), static_cast<Address>(EXPECTED_HOST_BASE));
    const std::string path = InstallPlugin("supported");
    MessageBoxCounter boxes;
    const HostCodeSnapshot beforeLoad;

    HMODULE plugin = nullptr;
    std::vector<Address> patchOrder;
    {
        const ProcessProtectRecorder recorder(HostCodeBegin(), HostCodeEnd());
        plugin = LoadLibraryA(path.c_str());
        patchOrder = SitesInOrderOfFirstWindow(recorder, kEventSites);
        ASSERT_NE(recorder.begin(), recorder.end());
        EXPECT_EQ(*recorder.begin(), StandInAddress(0x401000))
            << "the build is recognised before anything else";
    }
    ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
    const auto image = ImageOf(plugin);
    EXPECT_EQ(patchOrder, (std::vector<Address>{kInitSite, kDrawSite, kShutdownSite}));
    EXPECT_EQ(ChangedSites(beforeLoad, kEventSites),
              (std::vector<Address>{kShutdownSite, kDrawSite, kInitSite}))
        << "only the three event calls change";
    for (const Address site : kEventSites) {
        EXPECT_TRUE(image.Contains(CallTargetAt(site))) << std::hex << site << " calls into the plugin";
    }

    // Init: the host function, then the artwork from the plugin's own folder, then the text sites.
    ClearCallLog();
    EXPECT_EQ(ExecuteInitSite(), kHostInitResult);
    EXPECT_EQ(CallRecord(), "HostInit HostLoadTextureDictionary HostGetDictionaryTexture");
    EXPECT_EQ(LoadedPaths(),
              std::vector<std::string>{end_to_end::ModuleDirectory(plugin) + "models\\speedometer.txd"});
    EXPECT_EQ(end_to_end::ModuleDirectory(plugin), path.substr(0, path.find_last_of('\\') + 1));
    EXPECT_EQ(LastTxdLoadError(), "") << "the shipped dictionary reads cleanly";
    for (const Address site : kTextSites) {
        EXPECT_TRUE(image.Contains(CallTargetAt(site))) << std::hex << site;
    }

    // Draw: the host function, then the dial's nine layers with the texture bound and unbound.
    ClearCallLog();
    SetPlayerVehicle({.type = 0, .gear = 3, .speed = 0.5f});
    EXPECT_EQ(ExecuteDrawSite(), kHostFrameResult);
    const std::string record = CallRecord();
    EXPECT_EQ(record.rfind("HostFrame HostGetPlayerVehicle HostGetVehicleSpeed HostSetRenderState ", 0), 0U)
        << record;
    EXPECT_EQ(CountOf(HostFunction::DrawPrimitive), 9);
    EXPECT_EQ(Describe(HostCalls().back()), "HostSetRenderState(1, 0)");

    const Image moving = DrawFrame(0.5f);
    const Image standing = DrawFrame(0.0f);
    const Rgba background = kFrameBackground;
    EXPECT_EQ(moving.At(200, 200), background) << "nothing outside the dial";
    int faceCovered = 0;
    for (int y = 760; y < 1030; y += 10) {
        for (int x = 1576; x < 1846; x += 10) {
            faceCovered += moving.At(x, y) == background ? 0 : 1;
        }
    }
    EXPECT_GT(faceCovered, 27 * 27 / 2) << "the face covers its square";
    // The band at 150 degrees lies between its start (110) and the needle's angle (220) at 0.5.
    const int bandX = 1711 + static_cast<int>(std::lround(132 * std::cos(150 * 3.14159265 / 180)));
    const int bandY = 895 + static_cast<int>(std::lround(132 * std::sin(150 * 3.14159265 / 180)));
    EXPECT_NE(moving.At(bandX, bandY), standing.At(bandX, bandY)) << "the band shows only while moving";

    // Text: moved left by 355 on 1920 x 1080 for a dial vehicle.
    ClearCallLog();
    EXPECT_EQ(ExecuteTextSiteA(1500.0f, 20.0f, 7), kDrawTextATag | 7);
    ASSERT_EQ(HostCalls().size(), 2U);
    EXPECT_EQ(HostCalls()[1].Float(0), 1145.0f);
    EXPECT_EQ(HostCalls()[1].Float(1), 20.0f);

    // Shutdown: the artwork goes back first, then the host function runs.
    ClearCallLog();
    EXPECT_EQ(ExecuteShutdownSite(), kHostShutdownResult);
    EXPECT_EQ(CallRecord(), "HostReleaseTextureDictionary HostShutdown");
    ClearCallLog();
    ExecuteDrawSite();
    EXPECT_EQ(CallRecord(), "HostFrame HostGetPlayerVehicle") << "nothing is drawn without artwork";

    std::vector<Address> restoreOrder;
    {
        const ProcessProtectRecorder recorder(HostCodeBegin(), HostCodeEnd());
        ASSERT_TRUE(FreeLibrary(plugin));
        restoreOrder = SitesInOrderOfFirstWindow(recorder, kEventSites);
    }
    EXPECT_EQ(restoreOrder, (std::vector<Address>{kShutdownSite, kDrawSite, kInitSite}));
    EXPECT_TRUE(beforeLoad.ChangedAddresses().empty()) << "host code is as it was before the load";
    EXPECT_EQ(ExecuteInitSite(), kHostInitResult);
    EXPECT_EQ(ExecuteTextSiteB(3.0f, 4.0f, 5), kDrawTextBTag | 5) << "no call into the unloaded plugin";
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(Scenario, DISABLED_UnsupportedBuild) {
    const std::string path = InstallPlugin("unsupported");
    MessageBoxCounter boxes;
    const HostCodeSnapshot beforeLoad;
    HMODULE plugin = LoadLibraryA(path.c_str());
    ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
    EXPECT_TRUE(beforeLoad.ChangedAddresses().empty());

    SetPlayerVehicle({.type = 0, .gear = 1, .speed = 0.7f});
    ClearCallLog();
    EXPECT_EQ(ExecuteInitSite(), kHostInitResult);
    EXPECT_EQ(ExecuteDrawSite(), kHostFrameResult);
    EXPECT_EQ(ExecuteTextSiteA(1500.0f, 20.0f, 1), kDrawTextATag | 1);
    EXPECT_EQ(ExecuteShutdownSite(), kHostShutdownResult);
    EXPECT_EQ(CallRecord(), "HostInit HostFrame HostDrawTextA HostShutdown") << "no handler ever runs";
    EXPECT_EQ(HostCalls()[2].Float(0), 1500.0f);

    ASSERT_TRUE(FreeLibrary(plugin));
    EXPECT_TRUE(beforeLoad.ChangedAddresses().empty());
    EXPECT_EQ(boxes.count(), 0) << "inert without a message";
}

TEST_F(Scenario, DISABLED_TwoCopiesLoadedTogether) {
    const std::string first = InstallPlugin("first-copy");
    const std::string second = InstallPlugin("second-copy", "speedometer-second.asi");
    const HostCodeSnapshot beforeLoad;
    HMODULE a = LoadLibraryA(first.c_str());
    HMODULE b = LoadLibraryA(second.c_str());
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(a, b);
    for (const Address site : kEventSites) {
        EXPECT_TRUE(ImageOf(b).Contains(CallTargetAt(site))) << "the later copy patched over the earlier";
    }

    ClearCallLog();
    EXPECT_EQ(ExecuteInitSite(), kHostInitResult);
    EXPECT_EQ(LoadedPaths(),
              (std::vector<std::string>{end_to_end::ModuleDirectory(a) + "models\\speedometer.txd",
                                        end_to_end::ModuleDirectory(b) + "models\\speedometer.txd"}));
    ClearCallLog();
    SetPlayerVehicle({.type = 0, .gear = 2, .speed = 0.9f});
    EXPECT_EQ(ExecuteDrawSite(), kHostFrameResult);
    EXPECT_EQ(CountOf(HostFunction::DrawPrimitive), 18) << "both copies draw on one execution";
    EXPECT_EQ(CountOf(HostFunction::InitCall) + CountOf(HostFunction::FrameCall), 1) << "the host runs once";

    ASSERT_TRUE(FreeLibrary(b));
    for (const Address site : kEventSites) {
        EXPECT_TRUE(ImageOf(a).Contains(CallTargetAt(site))) << "the earlier copy's patches are back";
    }
    for (const Address site : kTextSites) {
        EXPECT_TRUE(ImageOf(a).Contains(CallTargetAt(site)));
    }
    ClearCallLog();
    ExecuteDrawSite();
    EXPECT_EQ(CountOf(HostFunction::DrawPrimitive), 9);
    ASSERT_TRUE(FreeLibrary(a));
    EXPECT_TRUE(beforeLoad.ChangedAddresses().empty()) << "every site restored exactly";
}

std::uint32_t __cdecl OtherModulesTextDraw(float, float, std::uint32_t) {
    return 0x0DDC0DE;
}

TEST_F(Scenario, DISABLED_TextSiteRepatchedByOtherCodeIsLeftAlone) {
    const std::string path = InstallPlugin("repatched");
    HMODULE plugin = LoadLibraryA(path.c_str());
    ASSERT_NE(plugin, nullptr);
    const auto originalA = ReadBytes(StandInAddress(kTextSiteA), 5);
    ExecuteInitSite();
    WriteCall(StandInAddress(kTextSiteB), reinterpret_cast<const void*>(&OtherModulesTextDraw));
    const auto othersB = ReadBytes(StandInAddress(kTextSiteB), 5);
    ASSERT_TRUE(FreeLibrary(plugin));
    EXPECT_EQ(ReadBytes(StandInAddress(kTextSiteA), 5), originalA) << "our redirection is undone";
    EXPECT_EQ(ReadBytes(StandInAddress(kTextSiteB), 5), othersB) << "another module's patch stays";
    EXPECT_EQ(ExecuteTextSiteB(1.0f, 2.0f, 3), 0x0DDC0DEU);
}

TEST_F(Scenario, DISABLED_DirectoryTooDeepForTheArtworkPathLoadsNothing) {
    // The folder's full path is 240 characters: the plugin's own name still fits in a
    // path, but its folder and "models\speedometer.txd" together do not.
    const std::size_t prefix = end_to_end::InstallRoot().size();
    ASSERT_LT(prefix + 2, 240U);
    std::string folder;
    while (prefix + folder.size() < 240) {
        folder += folder.empty() ? "d" : (folder.size() % 50 == 0 ? "\\" : "d");
    }
    folder.resize(240 - prefix);
    if (folder.back() == '\\') {
        folder.back() = 'd';
    }
    const std::string path = InstallPlugin(folder);
    ASSERT_EQ(path.size(), 240U + 1 + 15);
    MessageBoxCounter boxes;
    HMODULE plugin = LoadLibraryA(path.c_str());
    ASSERT_NE(plugin, nullptr) << "error " << GetLastError();
    ClearCallLog();
    EXPECT_EQ(ExecuteInitSite(), kHostInitResult);
    EXPECT_EQ(CallRecord(), "HostInit") << "no artwork path, no load";
    SetPlayerVehicle({.type = 0, .gear = 1, .speed = 0.5f});
    ClearCallLog();
    ExecuteDrawSite();
    EXPECT_EQ(CallRecord(), "HostFrame HostGetPlayerVehicle") << "nothing drawn";
    EXPECT_EQ(ExecuteShutdownSite(), kHostShutdownResult);
    ASSERT_TRUE(FreeLibrary(plugin));
    EXPECT_EQ(boxes.count(), 0);
}

struct Case {
    const char* scenario;
    int build;
};

class EndToEnd : public testing::TestWithParam<Case> {};

TEST_P(EndToEnd, InAFreshProcess) {
    const auto result =
        testing_support::RunTestInFreshProcess(std::string("Scenario.DISABLED_") + GetParam().scenario,
                                               {"E2E_BUILD=" + std::to_string(GetParam().build)});
    EXPECT_TRUE(testing_support::RanOneTestAndPassed(result)) << result.output;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, EndToEnd,
                         testing::Values(Case{"SupportedBuild", 1001}, Case{"SupportedBuild", 1002},
                                         Case{"UnsupportedBuild", 1011}, Case{"UnsupportedBuild", 1101},
                                         Case{"UnsupportedBuild", 1111}, Case{"UnsupportedBuild", 3200},
                                         Case{"UnsupportedBuild", 3210}, Case{"UnsupportedBuild", 0},
                                         Case{"TwoCopiesLoadedTogether", 1001},
                                         Case{"TextSiteRepatchedByOtherCodeIsLeftAlone", 1002},
                                         Case{"DirectoryTooDeepForTheArtworkPathLoadsNothing", 1001}),
                         [](const testing::TestParamInfo<Case>& param) {
                             return std::string(param.param.scenario) + "On" +
                                    std::to_string(param.param.build);
                         });

} // namespace
