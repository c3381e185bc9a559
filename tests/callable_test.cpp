// The type-erased callable that holds handlers and continuations: copies, moves and
// assignments keep exactly one live target per non-empty callable, for targets held inline
// and on the heap alike; small targets never allocate; target<> finds plain functions only.
#include "injector/callable.hpp"
#include "tests/support/AllocationCount.hpp"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

using injector::callable;

std::string record;

// A target that counts its live objects and names itself when called. Padding makes the
// large one too big to be held inline.
template <std::size_t padding>
struct Counted {
    Counted(int* counter, char tag) : live(counter), name(tag) { ++*live; }
    Counted(const Counted& other) noexcept : live(other.live), name(other.name) { ++*live; }
    Counted& operator=(const Counted&) = delete;
    ~Counted() { --*live; }
    void operator()() const { record += name; }

    int* live;
    char name;
    std::array<char, padding> bytes{};
};

using Small = Counted<1>;
using Large = Counted<64>;

template <class Target>
class CallableOf : public testing::Test {
protected:
    void SetUp() override { record.clear(); }
    int live = 0;
};

using Targets = testing::Types<Small, Large>;
TYPED_TEST_SUITE(CallableOf, Targets);

TYPED_TEST(CallableOf, CopiesMovesAndAssignmentsKeepOneLiveTargetPerNonEmptyCallable) {
    {
        callable<void()> a = TypeParam(&this->live, 'a');
        callable<void()> b = TypeParam(&this->live, 'b');
        EXPECT_EQ(this->live, 2);

        callable<void()> copy(a);
        callable<void()> moved(std::move(b));
        EXPECT_EQ(this->live, 3) << "a, its copy, and b's target now in moved";
        EXPECT_FALSE(b);

        copy = moved; // the old target of copy goes
        EXPECT_EQ(this->live, 3);
        moved = std::move(a);
        EXPECT_EQ(this->live, 2);
        EXPECT_FALSE(a);
        callable<void()>& alias = moved;
        moved = alias;
        EXPECT_EQ(this->live, 2) << "self-assignment";
        moved();
        copy();
        EXPECT_EQ(record, "ab");
    }
    EXPECT_EQ(this->live, 0);
}

TYPED_TEST(CallableOf, CallsReachTheTargetEachCallableHolds) {
    callable<void()> a = TypeParam(&this->live, 'a');
    callable<void()> b = TypeParam(&this->live, 'b');
    callable<void()> copy(a);
    copy();
    b = copy;
    b();
    a = nullptr;
    copy();
    EXPECT_EQ(record, "aaa");
    EXPECT_EQ(this->live, 2);
}

TEST(Callable, HoldsSmallTargetsWithoutAllocatingAndLargeOnesOnTheHeap) {
    int live = 0;
    const std::size_t before = testing_support::AllocationCount();
    {
        callable<void()> small = Small(&live, 's');
        callable<void()> copy(small);
        copy = small;
    }
    EXPECT_EQ(testing_support::AllocationCount(), before);
    {
        callable<void()> large = Large(&live, 'l');
        callable<void()> copy(large);
    }
    EXPECT_EQ(testing_support::AllocationCount(), before + 2);
    EXPECT_EQ(live, 0);
}

void Plain() {
    record += 'p';
}

TEST(Callable, TargetFindsAPlainFunctionOfItsSignatureAndNothingElse) {
    const callable<void()> function = &Plain;
    const callable<void()> lambda = [] { record += 'l'; };
    const callable<void()> empty;
    const callable<void()> null = static_cast<void (*)()>(nullptr);

    ASSERT_NE(function.target<void (*)()>(), nullptr);
    EXPECT_EQ(*function.target<void (*)()>(), &Plain);
    EXPECT_EQ(lambda.target<void (*)()>(), nullptr);
    EXPECT_EQ(empty.target<void (*)()>(), nullptr);
    EXPECT_FALSE(null) << "a null function pointer gives an empty callable";
    EXPECT_TRUE(function && lambda);
}

TEST(Callable, ACallOnACopyLeavesTheOriginalsStateAsItWas) {
    int count = 0;
    callable<int()> counter = [count]() mutable { return ++count; };
    callable<int()> copy(counter);
    EXPECT_EQ(copy(), 1);
    EXPECT_EQ(copy(), 2);
    EXPECT_EQ(counter(), 1);
}

TEST(Callable, PassesArgumentsThroughAndReturnsTheTargetsResult) {
    const callable<std::string(callable<std::string()>)> outer = [](callable<std::string()> inner) {
        return "outer(" + inner() + ")";
    };
    EXPECT_EQ(outer([] { return std::string("inner"); }), "outer(inner)");
}

} // namespace
