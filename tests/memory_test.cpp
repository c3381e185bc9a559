// Protected host-memory access and branch decoding, on the stand-in's host code.
#include "injector/memory.hpp"
#include "standin/HostImage.hpp"
#include "tests/support/ProtectRecorder.hpp"

#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <windows.h>

using namespace injector;
using standin::StandInAddress;
using testing_support::ProtectRecorder;

namespace {

constexpr standin::Address kScratch = 0x600000; // host code no test elsewhere uses

// Restores the scratch bytes of host code on scope exit.
class ScratchCode {
public:
    ScratchCode() : address_(StandInAddress(kScratch)), saved_(standin::ReadBytes(address_, 16)) {}
    ~ScratchCode() { standin::WriteBytes(address_, saved_); }
    std::uint32_t address() const { return address_; }
    void Put(std::initializer_list<std::uint8_t> bytes) {
        standin::WriteBytes(address_, std::vector<std::uint8_t>(bytes));
    }

private:
    std::uint32_t address_;
    std::vector<std::uint8_t> saved_;
};

TEST(ProtectedMemory, HostCodeIsReadOnlyUntilAWindowOpens) {
    ScratchCode code;
    EXPECT_EQ(standin::ProtectionAt(code.address()), static_cast<std::uint32_t>(PAGE_EXECUTE_READ));
    const std::array<std::uint8_t, 3> bytes{1, 2, 3};
    write_host_bytes(code.address(), bytes.data(), bytes.size(), true);
    EXPECT_EQ(standin::ReadBytes(code.address(), 3), std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    EXPECT_EQ(standin::ProtectionAt(code.address()), static_cast<std::uint32_t>(PAGE_EXECUTE_READ))
        << "the previous protection is put back";
}

TEST(ProtectedMemory, WindowCoversExactlyTheBytesAndIsClosedAgain) {
    ScratchCode code;
    const std::array<std::uint8_t, 5> bytes{9, 8, 7, 6, 5};
    ProtectRecorder recorder;
    write_host_bytes(code.address() + 3, bytes.data(), bytes.size(), true);
    ASSERT_EQ(recorder.Calls().size(), 2U);
    EXPECT_EQ(recorder.Calls()[0].address, code.address() + 3);
    EXPECT_EQ(recorder.Calls()[0].size, 5U);
    EXPECT_EQ(recorder.Calls()[0].protection, static_cast<std::uint32_t>(PAGE_EXECUTE_READWRITE));
    EXPECT_EQ(recorder.Calls()[1].address, code.address() + 3);
    EXPECT_EQ(recorder.Calls()[1].size, 5U);
    EXPECT_EQ(recorder.Calls()[1].protection, static_cast<std::uint32_t>(PAGE_EXECUTE_READ));
}

TEST(ProtectedMemory, ReadWindowIsOpenedOnTheHostBytesNotTheBuffer) {
    ScratchCode code;
    code.Put({0xAA, 0xBB});
    std::array<std::uint8_t, 2> buffer{};
    ProtectRecorder recorder;
    read_host_bytes(code.address(), buffer.data(), buffer.size(), true);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 2>{0xAA, 0xBB}));
    ASSERT_EQ(recorder.Calls().size(), 2U);
    EXPECT_EQ(recorder.Calls()[0].address, code.address());
    EXPECT_EQ(recorder.Calls()[0].size, 2U);
}

TEST(ProtectedMemory, SizeZeroOrNoAccessFlagMakesNoProtectionCall) {
    std::array<std::uint8_t, 4> writable{1, 2, 3, 4};
    const std::array<std::uint8_t, 4> source{5, 6, 7, 8};
    ProtectRecorder recorder;
    write_host_bytes(reinterpret_cast<std::uintptr_t>(writable.data()), source.data(), 0, true);
    EXPECT_EQ(writable, (std::array<std::uint8_t, 4>{1, 2, 3, 4})) << "a copy of 0 bytes changes nothing";
    std::array<std::uint8_t, 4> destination{};
    read_host_bytes(reinterpret_cast<std::uintptr_t>(source.data()), destination.data(), 0, true);
    EXPECT_EQ(destination, (std::array<std::uint8_t, 4>{}));
    write_host_bytes(reinterpret_cast<std::uintptr_t>(writable.data()), source.data(), 4, false);
    EXPECT_EQ(writable, source) << "without a window the copy still runs";
    read_host_bytes(reinterpret_cast<std::uintptr_t>(source.data()), destination.data(), 4, false);
    EXPECT_EQ(destination, source);
    EXPECT_TRUE(recorder.Calls().empty());
}

TEST(ProtectedMemory, FailedProtectionChangeStillAccessesAndMakesNoSecondCall) {
    std::array<std::uint8_t, 4> writable{};
    const std::array<std::uint8_t, 4> source{0x11, 0x22, 0x33, 0x44};
    ProtectRecorder failing(true);
    write_host_bytes(reinterpret_cast<std::uintptr_t>(writable.data()), source.data(), 4, true);
    EXPECT_EQ(writable, source);
    EXPECT_EQ(failing.Calls().size(), 1U) << "nothing is put back that was never changed";
    EXPECT_EQ(read_host_dword(reinterpret_cast<std::uintptr_t>(source.data())), 0x44332211U);
    EXPECT_EQ(read_host_byte(reinterpret_cast<std::uintptr_t>(source.data()) + 1), 0x22);
    EXPECT_EQ(failing.Calls().size(), 3U);
}

// A real refusal by the system, not a simulated one: a view of a section created
// without execute rights cannot be made executable, yet it stays writable.
TEST(ProtectedMemory, RealRefusalOnAWritableViewStillWrites) {
    HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr);
    ASSERT_NE(section, nullptr);
    auto* view = static_cast<std::uint8_t*>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 4096));
    ASSERT_NE(view, nullptr);
    DWORD previous = 0;
    const bool systemRefuses = VirtualProtect(view, 4, PAGE_EXECUTE_READWRITE, &previous) == 0;
    if (!systemRefuses) {
        VirtualProtect(view, 4, previous, &previous);
    }
    const std::array<std::uint8_t, 4> source{0xDE, 0xAD, 0xBE, 0xEF};
    ProtectRecorder recorder;
    write_host_bytes(reinterpret_cast<std::uintptr_t>(view), source.data(), 4, true);
    EXPECT_EQ(std::memcmp(view, source.data(), 4), 0);
    EXPECT_EQ(recorder.Calls().size(), systemRefuses ? 1U : 2U);
    UnmapViewOfFile(view);
    CloseHandle(section);
}

TEST(ProtectedMemory, DwordAndByteReadsOpenTheirOwnWindows) {
    ScratchCode code;
    code.Put({0x78, 0x56, 0x34, 0x12});
    ProtectRecorder recorder;
    EXPECT_EQ(read_host_dword(code.address()), 0x12345678U);
    EXPECT_EQ(read_host_byte(code.address() + 3), 0x12);
    ASSERT_EQ(recorder.Calls().size(), 4U);
    EXPECT_EQ(recorder.Calls()[0].size, 4U);
    EXPECT_EQ(recorder.Calls()[2].size, 1U);
    EXPECT_EQ(recorder.Calls()[2].address, code.address() + 3);
}

struct BranchCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::int64_t expectedOffset; // relative to the instruction; 0 with `none` means "returns 0"
    bool none;
};

class BranchTarget : public testing::TestWithParam<BranchCase> {};

TEST_P(BranchTarget, DecodesOnlyTheFourEncodings) {
    ScratchCode code;
    standin::WriteBytes(code.address(), GetParam().bytes);
    const std::uint32_t expected =
        GetParam().none ? 0U : static_cast<std::uint32_t>(code.address() + GetParam().expectedOffset);
    EXPECT_EQ(branch_target(code.address()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, BranchTarget,
    testing::Values(BranchCase{"CallToNextInstruction", {0xE8, 0, 0, 0, 0}, 5, false},
                    BranchCase{"CallToItselfNegativeDisplacement", {0xE8, 0xFB, 0xFF, 0xFF, 0xFF}, 0, false},
                    BranchCase{"JumpForward", {0xE9, 0x00, 0x01, 0x00, 0x00}, 0x105, false},
                    BranchCase{"ShortJumpIsNotDecoded", {0xEB, 0x10}, 0, true},
                    BranchCase{"PushThroughMemoryIsNotDecoded", {0xFF, 0x35, 0, 0, 0, 0}, 0, true},
                    BranchCase{"CallThroughRegisterIsNotDecoded", {0xFF, 0xD0}, 0, true},
                    BranchCase{"NopIsNotDecoded", {0x90, 0x90, 0x90, 0x90, 0x90}, 0, true}),
    [](const testing::TestParamInfo<BranchCase>& param) { return std::string(param.param.name); });

TEST(BranchTargetWrap, DisplacementSumWrapsAround32Bits) {
    ScratchCode code;
    // A displacement that carries past 2^32 lands at (site + 5 + d) mod 2^32.
    const std::uint32_t displacement = 0xFFFFFFFFU - code.address(); // site + 5 + d = 4 (mod 2^32)
    std::vector<std::uint8_t> bytes{0xE8, 0, 0, 0, 0};
    std::memcpy(&bytes[1], &displacement, 4);
    standin::WriteBytes(code.address(), bytes);
    EXPECT_EQ(branch_target(code.address()), 4U);
}

TEST(BranchTargetIndirect, CallAndJumpThroughACellReturnTheCellsContent) {
    for (std::uint8_t modrm : {std::uint8_t{0x15}, std::uint8_t{0x25}}) {
        ScratchCode code;
        static std::uint32_t cell = 0;
        cell = 0x0BADF00D;
        const auto cellAddress = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&cell));
        std::vector<std::uint8_t> bytes{0xFF, modrm, 0, 0, 0, 0};
        std::memcpy(&bytes[2], &cellAddress, 4);
        standin::WriteBytes(code.address(), bytes);
        EXPECT_EQ(branch_target(code.address()), 0x0BADF00DU) << "modrm " << int{modrm};
    }
}

TEST(BranchTargetIndirect, NeverWritesAndOpensOneWindowPerPiece) {
    ScratchCode code;
    code.Put({0xE8, 0x10, 0, 0, 0});
    const standin::HostCodeSnapshot before;
    ProtectRecorder recorder;
    EXPECT_EQ(branch_target(code.address()), code.address() + 0x15);
    EXPECT_TRUE(before.ChangedAddresses().empty());
    // Opcode window (1 byte) and displacement window (4 bytes), each opened and closed.
    ASSERT_EQ(recorder.Calls().size(), 4U);
    EXPECT_EQ(recorder.Calls()[0].size, 1U);
    EXPECT_EQ(recorder.Calls()[2].address, code.address() + 1);
    EXPECT_EQ(recorder.Calls()[2].size, 4U);
}

} // namespace
