// Function hookers sharing call sites in the stand-in. Each test uses a site of its
// own, since every site has one process-wide manager.
#include "injector/function_hooker.hpp"
#include "standin/HostImage.hpp"
#include "tests/support/HostSites.hpp"
#include "tests/support/ProtectRecorder.hpp"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using injector::function_hooker;
using injector::scoped_call;
using testing_support::CallSite;

namespace {

std::string record;
void* const kHostResult = reinterpret_cast<void*>(0x89ABCDEF);

void* HostFunction() {
    record += "host ";
    return kHostResult;
}

template <HostAddress site>
using Hooker = function_hooker<scoped_call, site, void*()>;

template <class H>
typename H::hook_handler Named(const char* name) {
    return [name](typename H::next_call next) {
        record += name;
        record += ' ';
        return next();
    };
}

class FunctionHooker : public testing::Test {
protected:
    void SetUp() override { record.clear(); }
};

TEST_F(FunctionHooker, FirstInstallPatchesLaterOnesOnlyJoinAndTheNewestRunsFirst) {
    using H = Hooker<0x620000>;
    CallSite site(0x620000, &HostFunction);
    H older;
    {
        testing_support::ProtectRecorder recorder;
        older.install(Named<H>("A"));
        // Save the 5 bytes, decode the old call, then write the opcode and the displacement.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> windows;
        for (std::size_t i = 0; i < recorder.Calls().size(); i += 2) {
            windows.emplace_back(recorder.Calls()[i].address - site.address(), recorder.Calls()[i].size);
        }
        EXPECT_EQ(windows, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                               {0, 5}, {0, 1}, {1, 4}, {0, 1}, {1, 4}}));
    }
    const auto patched = site.Bytes();
    EXPECT_NE(patched, site.Baseline());
    EXPECT_EQ(patched[0], 0xE8);
    {
        H newer;
        testing_support::ProtectRecorder recorder;
        newer.install(Named<H>("B"));
        EXPECT_TRUE(recorder.Calls().empty()) << "the second install does not touch the site";
        EXPECT_EQ(site.Bytes(), patched);
        EXPECT_EQ(site.Execute(), kHostResult);
        EXPECT_EQ(record, "B A host ");
    }
    EXPECT_EQ(site.Bytes(), patched) << "one of two hookers gone: still patched";
    record.clear();
    EXPECT_EQ(site.Execute(), kHostResult);
    EXPECT_EQ(record, "A host ");
}

TEST_F(FunctionHooker, InstallingAgainReplacesTheHandlerInItsPlace) {
    using H = Hooker<0x620100>;
    CallSite site(0x620100, &HostFunction);
    H first;
    H second;
    first.install(Named<H>("A"));
    second.install(Named<H>("B"));
    first.install(Named<H>("A2"));
    site.Execute();
    EXPECT_EQ(record, "B A2 host ");
}

TEST_F(FunctionHooker, AHandlerThatSkipsItsContinuationSuppressesOlderOnesAndTheHost) {
    using H = Hooker<0x620200>;
    CallSite site(0x620200, &HostFunction);
    H older;
    H newer;
    older.install(Named<H>("A"));
    newer.install([](H::next_call) {
        record += "B ";
        return reinterpret_cast<void*>(42);
    });
    EXPECT_EQ(site.Execute(), reinterpret_cast<void*>(42));
    EXPECT_EQ(record, "B ");
}

TEST_F(FunctionHooker, TheLastHookerGoneRestoresTheFiveBytesExactly) {
    using H = Hooker<0x620300>;
    CallSite site(0x620300, &HostFunction);
    {
        H a;
        H b;
        a.install(Named<H>("A"));
        b.install(Named<H>("B"));
    }
    EXPECT_EQ(site.Bytes(), site.Baseline());
    EXPECT_EQ(site.Execute(), kHostResult);
    EXPECT_EQ(record, "host ");
}

TEST_F(FunctionHooker, ACopyTakesOverTheEntryAndMovesToTheEnd) {
    using H = Hooker<0x620400>;
    CallSite site(0x620400, &HostFunction);
    H a;
    H b;
    a.install(Named<H>("A"));
    b.install(Named<H>("B"));
    {
        H copy(a);
        site.Execute();
        EXPECT_EQ(record, "A B host ") << "the copy's handler now runs first";
        a.undo(); // the source owns no entry any more
        record.clear();
        site.Execute();
        EXPECT_EQ(record, "A B host ");
    }
    record.clear();
    site.Execute();
    EXPECT_EQ(record, "B host ");
}

TEST_F(FunctionHooker, AHookerThatNeverInstalledChangesNothingWhenDestroyed) {
    using H = Hooker<0x620500>;
    CallSite site(0x620500, &HostFunction);
    H a;
    a.install(Named<H>("A"));
    const auto patched = site.Bytes();
    { H idle; }
    EXPECT_EQ(site.Bytes(), patched);
    site.Execute();
    EXPECT_EQ(record, "A host ");
}

TEST_F(FunctionHooker, TheGateAfterUnpatchingCallsThePreviousTargetDirectly) {
    using H = Hooker<0x620600>;
    CallSite site(0x620600, &HostFunction);
    {
        H a;
        a.install(Named<H>("A"));
    }
    ASSERT_EQ(site.Bytes(), site.Baseline());
    EXPECT_EQ(H::manager_type::call_gate(), kHostResult);
    EXPECT_EQ(record, "host ");
}

TEST_F(FunctionHooker, ARetainedCopyKeepsTheHookAfterTheTemporaryGoes) {
    using H = Hooker<0x620700>;
    CallSite site(0x620700, &HostFunction);
    {
        H temporary;
        temporary.install(Named<H>("kept"));
        injector::retain_hooker(temporary);
    }
    EXPECT_NE(site.Bytes(), site.Baseline());
    EXPECT_EQ(site.Execute(), kHostResult);
    EXPECT_EQ(record, "kept host ");
    H::manager_type::site_manager()->undo(); // leave the site as found
    EXPECT_EQ(site.Bytes(), site.Baseline());
}

TEST_F(FunctionHooker, ThreeHandlersChainNewestFirstAndChangesTakeEffectOnTheNextCall) {
    using H = Hooker<0x620800>;
    CallSite site(0x620800, &HostFunction);
    H a;
    H b;
    H late;
    a.install(Named<H>("A"));
    b.install([&late](H::next_call next) {
        record += "B ";
        late.install(Named<H>("C"));
        return next();
    });
    site.Execute();
    EXPECT_EQ(record, "B A host ");
    record.clear();
    site.Execute();
    EXPECT_EQ(record, "C B A host ");
}

TEST_F(FunctionHooker, ASiteHoldingNoCallIsLeftAloneAndGetsNoEntry) {
    using H = Hooker<0x620900>;
    const std::uint32_t address = standin::StandInAddress(0x620900);
    const std::vector<std::uint8_t> saved = standin::ReadBytes(address, 6);
    const std::vector<std::uint8_t> notACall{0x90, 0x90, 0x90, 0x90, 0x90, 0xC3};
    standin::WriteBytes(address, notACall);
    {
        H hooker;
        hooker.install(Named<H>("A"));
        EXPECT_EQ(standin::ReadBytes(address, 6), notACall);
        EXPECT_FALSE(H::manager_type::site_manager()->patched());
        EXPECT_EQ(H::manager_type::site_manager()->entry_count(), 0U);
    }
    EXPECT_EQ(standin::ReadBytes(address, 6), notACall);
    standin::WriteBytes(address, saved);
}

} // namespace
