// The shipped DLL's version information, read the way a file's properties dialog reads it:
// it names the overlay, carries the project's version and names no company.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace {

const std::vector<char>& VersionBlock() {
    static const std::vector<char> block = [] {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(SPEEDOMETER_DLL, &ignored);
        std::vector<char> data(size);
        if (size == 0 || !GetFileVersionInfoA(SPEEDOMETER_DLL, 0, size, data.data())) {
            data.clear();
        }
        return data;
    }();
    return block;
}

std::optional<std::string> StringValue(const std::string& key) {
    const std::vector<char>& block = VersionBlock();
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translation = nullptr;
    UINT length = 0;
    if (block.empty() ||
        !VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
        length < sizeof(Translation)) {
        return std::nullopt;
    }
    char path[96];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                  translation->codePage, key.c_str());
    char* value = nullptr;
    if (!VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&value), &length) || length == 0) {
        return std::nullopt;
    }
    return std::string(value);
}

constexpr DWORD kMajor = SPEEDOMETER_VERSION_MAJOR;
constexpr DWORD kMinor = SPEEDOMETER_VERSION_MINOR;
constexpr DWORD kPatch = SPEEDOMETER_VERSION_PATCH;

TEST(VersionResource, FixedInformationOfTheDllHoldsTheProjectVersionAndMarksADll) {
    ASSERT_FALSE(VersionBlock().empty()) << SPEEDOMETER_DLL << " carries no version information";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(VersionBlock().data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, kMajor << 16 | kMinor);
    EXPECT_EQ(fixed->dwFileVersionLS, kPatch << 16);
    EXPECT_EQ(fixed->dwProductVersionMS, kMajor << 16 | kMinor);
    EXPECT_EQ(fixed->dwProductVersionLS, kPatch << 16);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "no debug, pre-release or private flags";
}

TEST(VersionResource, StringsOfTheDllNameTheOverlayItsFileAndVersionAndNoCompany) {
    ASSERT_FALSE(VersionBlock().empty()) << SPEEDOMETER_DLL << " carries no version information";
    const std::string version =
        std::to_string(kMajor) + "." + std::to_string(kMinor) + "." + std::to_string(kPatch);
    const struct {
        const char* key;
        std::optional<std::string> expected;
    } cases[] = {
        {"FileDescription", "Speedometer overlay"},
        {"OriginalFilename", "speedometer.asi"},
        {"FileVersion", version},
        {"ProductVersion", version},
        {"CompanyName", std::nullopt},
        {"LegalTrademarks", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StringValue(c.key), c.expected) << c.key;
    }
}

} // namespace
