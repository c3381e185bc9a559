// Host events over call sites in the stand-in (build 1001 unless a fresh process
// is started with another). Events live as long as the process, as in the plugin,
// since their hooks stay retained until exit.
#include "events/HostEvent.hpp"
#include "standin/HostImage.hpp"
#include "tests/support/ChildProcess.hpp"
#include "tests/support/HostSites.hpp"
#include "tests/support/ProtectRecorder.hpp"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

using testing_support::CallSite;

namespace {

std::string record;
void* const kHostResult = reinterpret_cast<void*>(0xFEDCBA98);

void* HostFunction() {
    record += "host ";
    return kHostResult;
}

void A() {
    record += "A ";
}
void B() {
    record += "B ";
}
void C() {
    record += "C ";
}
void N() noexcept {
    record += "N ";
}

template <HostAddress site>
HostEvent<site>& EventAt() {
    static HostEvent<site> event;
    return event;
}

class HostEventTest : public testing::Test {
protected:
    void SetUp() override { record.clear(); }
};

TEST_F(HostEventTest, RunsBeforeHandlersThenTheHostThenAfterHandlersAndPassesTheResult) {
    CallSite site(0x630000, &HostFunction);
    auto& event = EventAt<0x630000>();
    event.add(event.before, &A);
    event.add(event.before, &B);
    event.add(event.after, &C);
    EXPECT_EQ(site.Execute(), kHostResult) << "bit for bit";
    EXPECT_EQ(record, "A B host C ");
}

TEST_F(HostEventTest, EmptyListsLeaveTheHostFirstOrLast) {
    CallSite first(0x630100, &HostFunction);
    auto& afterOnly = EventAt<0x630100>();
    afterOnly.add(afterOnly.after, &C);
    first.Execute();
    EXPECT_EQ(record, "host C ");

    record.clear();
    CallSite last(0x630200, &HostFunction);
    auto& beforeOnly = EventAt<0x630200>();
    beforeOnly.add(beforeOnly.before, &A);
    EXPECT_EQ(last.Execute(), kHostResult);
    EXPECT_EQ(record, "A host ");
}

TEST_F(HostEventTest, AFreeFunctionIsStoredOncePerListButInBothLists) {
    CallSite site(0x630300, &HostFunction);
    auto& event = EventAt<0x630300>();
    event.add(event.before, &A);
    event.add(event.before, &A);
    event.add(event.after, &A);
    event.add(event.after, &A);
    event.add(event.after, &N);
    event.add(event.after, &N);
    EXPECT_EQ(event.before.size(), 1U);
    EXPECT_EQ(event.after.size(), 2U) << "a noexcept function is a plain function too";
    site.Execute();
    EXPECT_EQ(record, "A host A N ");
}

TEST_F(HostEventTest, LambdasAreNeverTakenForDuplicatesAndEmptyHandlersAreRefused) {
    CallSite site(0x630400, &HostFunction);
    auto& event = EventAt<0x630400>();
    event.add(event.after, [] { record += "L "; });
    event.add(event.after, [] { record += "L "; });
    event.add(event.after, EventHandler{});
    EXPECT_EQ(event.after.size(), 2U);
    site.Execute();
    EXPECT_EQ(record, "host L L ");
}

TEST_F(HostEventTest, AStatefulHandlerRunsAsAFreshCopyEachTime) {
    CallSite site(0x630500, &HostFunction);
    auto& event = EventAt<0x630500>();
    int count = 5;
    event.add(event.before, [count]() mutable { record += std::to_string(count++) + " "; });
    site.Execute();
    site.Execute();
    EXPECT_EQ(record, "5 host 5 host ");
}

TEST_F(HostEventTest, OnlyTheFirstAdditionTouchesHostCode) {
    CallSite site(0x630600, &HostFunction);
    auto& event = EventAt<0x630600>();
    {
        testing_support::ProtectRecorder recorder;
        event.add(event.before, &A);
        EXPECT_FALSE(recorder.Calls().empty());
    }
    EXPECT_TRUE(event.hookAttempted);
    const auto patched = site.Bytes();
    testing_support::ProtectRecorder recorder;
    event.add(event.after, &B);
    event.add(event.before, &C);
    EXPECT_TRUE(recorder.Calls().empty());
    EXPECT_EQ(site.Bytes(), patched);
}

// In a fresh process whose image carries HOST_STANDIN_BUILD's signature.
TEST(FreshProcess, DISABLED_EventOnBuildFromEnvironment) {
    const auto build = std::strtoul(std::getenv("HOST_STANDIN_BUILD"), nullptr, 10);
    const bool supported = build == 1001 || build == 1002;
    CallSite site(0x630700, &HostFunction);
    auto& event = EventAt<0x630700>();
    event.add(event.before, &A);
    EXPECT_TRUE(event.hookAttempted);
    EXPECT_EQ(site.Bytes() == site.Baseline(), !supported);
    testing_support::ProtectRecorder recorder;
    event.add(event.after, &C);
    EXPECT_TRUE(recorder.Calls().empty()) << "no second attempt, also after nothing was installed";
    EXPECT_EQ(site.Execute(), kHostResult);
    EXPECT_EQ(record, supported ? "A host C " : "host ");
}

class EventOnBuild : public testing::TestWithParam<int> {};

TEST_P(EventOnBuild, PatchesOnlySupportedBuilds) {
    const auto result =
        testing_support::RunTestInFreshProcess("FreshProcess.DISABLED_EventOnBuildFromEnvironment",
                                               {"HOST_STANDIN_BUILD=" + std::to_string(GetParam())});
    EXPECT_TRUE(testing_support::RanOneTestAndPassed(result)) << result.output;
}

INSTANTIATE_TEST_SUITE_P(Builds, EventOnBuild, testing::Values(1001, 1002, 1011, 3210, 0));

} // namespace
