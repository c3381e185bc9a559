// The texture-dictionary writer and reader: the writer's byte layout, round trips, and a
// reader that turns every damaged file into a clean rejection. Files are read from the end
// of a buffer followed by an inaccessible page, so a read past the end faults at once.
#include "tests/support/ChildProcess.hpp"
#include "tools/txd/TxdFormat.hpp"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <random>

using txd::DecodedTexture;

namespace txd {
void PrintTo(const DecodedTexture& t, std::ostream* os) {
    *os << t.name << " " << t.width << "x" << t.height;
}
} // namespace txd

namespace {

// Where the fields of a one-texture, one-level file lie (the same for every size up to the
// pixels, which start at kPixels).
constexpr std::size_t kRootSize = 4;
constexpr std::size_t kRootStamp = 8;
constexpr std::size_t kDictionaryStructSize = 16;
constexpr std::size_t kTextureCount = 24;
constexpr std::size_t kDeviceId = 26;
constexpr std::size_t kNativeSize = 32;
constexpr std::size_t kRasterSize = 44;
constexpr std::size_t kRasterStamp = 48;
constexpr std::size_t kPlatform = 52;
constexpr std::size_t kFilter = 56;
constexpr std::size_t kName = 60;
constexpr std::size_t kMaskName = 92;
constexpr std::size_t kRasterFormat = 124;
constexpr std::size_t kD3dFormat = 128;
constexpr std::size_t kWidth = 132;
constexpr std::size_t kHeight = 134;
constexpr std::size_t kDepth = 136;
constexpr std::size_t kLevels = 137;
constexpr std::size_t kFlags = 139;
constexpr std::size_t kLevel0Size = 140;
constexpr std::size_t kPixels = 144;

// The small texture most cases start from: 8 x 4 texels, 128 pixel bytes.
constexpr std::uint32_t kSmallWidth = 8;
constexpr std::uint32_t kSmallHeight = 4;
constexpr std::size_t kSmallPixelBytes = kSmallWidth * kSmallHeight * 4;
constexpr std::size_t kNativeExtension = kPixels + kSmallPixelBytes;
constexpr std::size_t kDictionaryExtension = kNativeExtension + 12;

using Bytes = std::vector<std::uint8_t>;

std::uint32_t GetU32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) |
           static_cast<std::uint32_t>(b[at + 3]) << 24;
}

void PutU32(Bytes& b, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutU16(Bytes& b, std::size_t at, std::uint16_t value) {
    b[at] = static_cast<std::uint8_t>(value);
    b[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void AddToU32(Bytes& b, std::size_t at, std::uint32_t delta) {
    PutU32(b, at, GetU32(b, at) + delta);
}

DecodedTexture PatternTexture(std::uint32_t width, std::uint32_t height, std::string name = "dial",
                              std::uint32_t seed = 7) {
    DecodedTexture texture{std::move(name), width, height, true, Bytes(std::size_t{width} * height * 4)};
    std::mt19937 random(seed);
    for (auto& byte : texture.rgba)
        byte = static_cast<std::uint8_t>(random());
    return texture;
}

Bytes Written(const DecodedTexture& texture) {
    std::string error;
    auto bytes = txd::WriteTextureDictionary(texture, &error);
    EXPECT_TRUE(bytes) << error;
    return bytes.value_or(Bytes{});
}

Bytes SmallFile() {
    return Written(PatternTexture(kSmallWidth, kSmallHeight));
}

// Puts `extra` bytes at the end of the (only) texture's struct and grows every enclosing size.
void GrowRasterStruct(Bytes& file, const Bytes& extra) {
    const std::size_t end =
        kPlatform + GetU32(file, kRasterSize); // the struct's payload starts at the platform id
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(end), extra.begin(), extra.end());
    const auto n = static_cast<std::uint32_t>(extra.size());
    AddToU32(file, kRasterSize, n);
    AddToU32(file, kNativeSize, n);
    AddToU32(file, kRootSize, n);
}

// A read-only copy of a file that ends where an inaccessible page begins.
class GuardedFile {
public:
    explicit GuardedFile(std::size_t capacity) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        usable_ = (capacity + page_ - 1) / page_ * page_;
        base_ = static_cast<std::uint8_t*>(
            VirtualAlloc(nullptr, usable_ + page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (!base_ || !VirtualProtect(base_ + usable_, page_, PAGE_NOACCESS, &old)) {
            std::fprintf(stderr, "cannot set up a guard page\n");
            std::abort();
        }
    }
    ~GuardedFile() { VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedFile(const GuardedFile&) = delete;
    GuardedFile& operator=(const GuardedFile&) = delete;

    std::span<const std::uint8_t> Place(const Bytes& file) {
        if (file.size() > usable_) {
            std::fprintf(stderr, "file larger than the guarded buffer\n");
            std::abort();
        }
        std::uint8_t* start = base_ + usable_ - file.size();
        std::copy(file.begin(), file.end(), start);
        return {start, file.size()};
    }

private:
    std::size_t page_ = 0;
    std::size_t usable_ = 0;
    std::uint8_t* base_ = nullptr;
};

std::optional<DecodedTexture> ReadGuarded(const Bytes& file, std::string* error) {
    GuardedFile guarded(file.size() + 1);
    return txd::ReadTextureDictionary(guarded.Place(file), error);
}

std::string Hex(const Bytes& bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

TEST(WriteTextureDictionary, AtlasTextureHasTheHostsByteLayout) {
    const DecodedTexture atlas = PatternTexture(1024, 512, "speedometer");
    const Bytes file = Written(atlas);
    ASSERT_EQ(file.size(), 2097320U);
    EXPECT_EQ(Hex(file, 48), "160000009c002000ffff031801000000"
                             "04000000ffff03180100020015000000"
                             "74002000ffff0318010000005c002000");
    const Bytes header(file.begin() + 48, file.begin() + 144);
    Bytes expected{0xFF, 0xFF, 0x03, 0x18, 9,   0,   0,   0,   0x02, 0x11, 0,  0,
                   's',  'p',  'e',  'e',  'd', 'o', 'm', 'e', 't',  'e',  'r'};
    expected.resize(expected.size() + 21 + 32, 0);
    for (int b :
         {0x00, 0x05, 0x00, 0x00, 21, 0, 0, 0, 0x00, 0x04, 0x00, 0x02, 32, 1, 4, 1, 0x00, 0x00, 0x20, 0x00})
        expected.push_back(static_cast<std::uint8_t>(b));
    EXPECT_EQ(Hex(header, header.size()), Hex(expected, expected.size()));
    const Bytes tail(file.end() - 24, file.end());
    EXPECT_EQ(Hex(tail, tail.size()), "0300000000000000ffff03180300000000000000ffff0318");

    struct Texel {
        std::size_t x, y;
    };
    for (const Texel t : {Texel{0, 0}, Texel{1023, 0}, Texel{5, 7}, Texel{0, 511}, Texel{1023, 511}}) {
        const std::size_t onDisk = 144 + (t.y * 1024 + t.x) * 4;
        const std::size_t inMemory = (t.y * 1024 + t.x) * 4;
        EXPECT_EQ(file[onDisk + 0], atlas.rgba[inMemory + 2]) << "blue at " << t.x << "," << t.y;
        EXPECT_EQ(file[onDisk + 1], atlas.rgba[inMemory + 1]) << "green at " << t.x << "," << t.y;
        EXPECT_EQ(file[onDisk + 2], atlas.rgba[inMemory + 0]) << "red at " << t.x << "," << t.y;
        EXPECT_EQ(file[onDisk + 3], atlas.rgba[inMemory + 3]) << "alpha at " << t.x << "," << t.y;
    }
}

class RoundTrip : public testing::TestWithParam<DecodedTexture> {};

TEST_P(RoundTrip, PreservesNameSizeAndEveryPixel) {
    const DecodedTexture& original = GetParam();
    std::string error;
    const auto decoded = ReadGuarded(Written(original), &error);
    ASSERT_TRUE(decoded) << error;
    EXPECT_EQ(decoded->name, original.name);
    EXPECT_EQ(decoded->width, original.width);
    EXPECT_EQ(decoded->height, original.height);
    EXPECT_TRUE(decoded->hasAlpha);
    EXPECT_EQ(decoded->rgba, original.rgba);
}

INSTANTIATE_TEST_SUITE_P(Textures, RoundTrip,
                         testing::Values(PatternTexture(1, 1), PatternTexture(8, 4), PatternTexture(2, 64),
                                         PatternTexture(256, 128, std::string(31, 'n')),
                                         PatternTexture(1024, 512, "speedometer")),
                         [](const auto& instance) {
                             return std::to_string(instance.param.width) + "x" +
                                    std::to_string(instance.param.height);
                         });

TEST(ReadTextureDictionary, BytesAfterTheRootChunkAreIgnored) {
    Bytes file = SmallFile();
    file.resize(file.size() + 2048, 0); // archive padding
    file.insert(file.end(), {0x16, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
    std::string error;
    const auto decoded = ReadGuarded(file, &error);
    ASSERT_TRUE(decoded) << error;
    EXPECT_EQ(decoded->rgba, PatternTexture(kSmallWidth, kSmallHeight).rgba);
}

struct Variation {
    const char* name;
    std::function<void(Bytes&)> change;
};
void PrintTo(const Variation& v, std::ostream* os) {
    *os << v.name;
}

class AcceptedVariation : public testing::TestWithParam<Variation> {};

TEST_P(AcceptedVariation, ReadsTheFirstTexturesFirstLevel) {
    Bytes file = SmallFile();
    GetParam().change(file);
    std::string error;
    const auto decoded = ReadGuarded(file, &error);
    ASSERT_TRUE(decoded) << error;
    EXPECT_EQ(decoded->name, "dial");
    EXPECT_EQ(decoded->width, kSmallWidth);
    EXPECT_EQ(decoded->height, kSmallHeight);
    EXPECT_EQ(decoded->rgba, PatternTexture(kSmallWidth, kSmallHeight).rgba);
}

const Variation kAcceptedVariations[] = {
    {"OlderLibraryStampsOnEveryChunk",
     [](Bytes& f) {
         for (std::size_t at : {kRootStamp, std::size_t{20}, std::size_t{36}, kRasterStamp,
                                kNativeExtension + 8, kDictionaryExtension + 8})
             PutU32(f, at, 0x1003FFFF); // 3.4.0.3
     }},
    {"PreBuildNumberStamp", [](Bytes& f) { PutU32(f, kRasterStamp, 0x00000310); }},
    {"DeviceIdZero", [](Bytes& f) { PutU16(f, kDeviceId, 0); }},
    {"ClampAddressingFilterWord", [](Bytes& f) { PutU32(f, kFilter, 0x3302); }},
    {"MipChainOfTwoLevels",
     [](Bytes& f) {
         f[kLevels] = 2;
         PutU32(f, kRasterFormat, 0x8500);
         Bytes level1(4 + 4 * 2 * 4, 0xAB);
         PutU32(level1, 0, 32);
         GrowRasterStruct(f, level1);
     }},
    {"SecondTextureAfterTheFirst",
     [](Bytes& f) {
         const Bytes other = Written(PatternTexture(4, 4, "other", 99));
         const Bytes native(other.begin() + 28, other.end() - 12);
         f.insert(f.begin() + kDictionaryExtension, native.begin(), native.end());
         PutU16(f, kTextureCount, 2);
         AddToU32(f, kRootSize, static_cast<std::uint32_t>(native.size()));
     }},
    {"ExtensionWithPluginPayload",
     [](Bytes& f) {
         const Bytes payload{1, 2, 3, 4, 5};
         f.insert(f.begin() + kNativeExtension + 12, payload.begin(), payload.end());
         AddToU32(f, kNativeExtension + 4, 5);
         AddToU32(f, kNativeSize, 5);
         AddToU32(f, kRootSize, 5);
     }},
};

INSTANTIATE_TEST_SUITE_P(Files, AcceptedVariation, testing::ValuesIn(kAcceptedVariations),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST(ReadTextureDictionary, ClearAlphaFlagReadsAsOpaqueRaster) {
    Bytes file = SmallFile();
    file[kFlags] = 0;
    std::string error;
    const auto decoded = ReadGuarded(file, &error);
    ASSERT_TRUE(decoded) << error;
    EXPECT_FALSE(decoded->hasAlpha);
}

struct Damage {
    const char* name;
    std::function<void(Bytes&)> change;
    const char* reason; // part of the error message
};
void PrintTo(const Damage& d, std::ostream* os) {
    *os << d.name;
}

class DamagedFile : public testing::TestWithParam<Damage> {};

TEST_P(DamagedFile, IsRejectedWithItsReason) {
    Bytes file = SmallFile();
    GetParam().change(file);
    std::string error;
    const auto decoded = ReadGuarded(file, &error);
    EXPECT_FALSE(decoded);
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

const Damage kDamage[] = {
    {"ElevenBytes", [](Bytes& f) { f.resize(11); }, "shorter than a chunk header"},
    {"RootOfTypeTextureNative", [](Bytes& f) { PutU32(f, 0, 0x15); }, "not a texture dictionary"},
    {"RootSizeOneBytePastTheFile",
     [](Bytes& f) { PutU32(f, kRootSize, static_cast<std::uint32_t>(f.size() - 11)); }, "root chunk size"},
    {"FileCutInsideThePixels", [](Bytes& f) { f.resize(200); }, "root chunk size"},
    {"DictionaryStructOfSixBytes", [](Bytes& f) { PutU32(f, kDictionaryStructSize, 6); },
     "dictionary struct is 6"},
    {"TextureCountZero", [](Bytes& f) { PutU16(f, kTextureCount, 0); }, "holds no texture"},
    {"TextureCountTwoWithOneTexture", [](Bytes& f) { PutU16(f, kTextureCount, 2); },
     "announces 2 textures but holds 1"},
    {"RootStampNewerThanTheLibrary", [](Bytes& f) { PutU32(f, kRootStamp, 0x1C02FFFF); },
     "newer than 3.6.0.3"},
    {"RasterStampNewerThanTheLibrary", [](Bytes& f) { PutU32(f, kRasterStamp, 0x1803FFFF + 0x10000); },
     "newer than 3.6.0.3"},
    {"TextureNativeSizePastTheDictionary", [](Bytes& f) { AddToU32(f, kNativeSize, 13); },
     "texture native size"},
    {"RasterStructSizePastTheTextureNative", [](Bytes& f) { AddToU32(f, kRasterSize, 13); },
     "texture struct size"},
    {"RasterStructShorterThanItsHeader", [](Bytes& f) { PutU32(f, kRasterSize, 87); },
     "shorter than the 88-byte"},
    {"PlatformEight", [](Bytes& f) { PutU32(f, kPlatform, 8); }, "platform id 8"},
    {"NameWithoutNul", [](Bytes& f) { std::fill_n(f.begin() + kName, 32, 'a'); },
     "texture name is not NUL-terminated"},
    {"MaskNameWithoutNul", [](Bytes& f) { std::fill_n(f.begin() + kMaskName, 32, 'm'); },
     "mask name is not NUL-terminated"},
    {"EmptyName", [](Bytes& f) { f[kName] = 0; }, "empty name"},
    {"WidthZero", [](Bytes& f) { PutU16(f, kWidth, 0); }, "0x4 is empty"},
    {"WidthSix", [](Bytes& f) { PutU16(f, kWidth, 6); }, "6x4 is not a power of two"},
    {"NoLevels", [](Bytes& f) { f[kLevels] = 0; }, "no levels"},
    {"CubeFlag", [](Bytes& f) { f[kFlags] |= 0x02; }, "unsupported: cube"},
    {"CompressedFlag", [](Bytes& f) { f[kFlags] |= 0x08; }, "unsupported: compressed"},
    {"EightBitPalette", [](Bytes& f) { PutU32(f, kRasterFormat, 0x2500); }, "unsupported: palette"},
    {"Format565", [](Bytes& f) { PutU32(f, kRasterFormat, 0x0200); }, "unsupported raster format 0x200"},
    {"D3dFormat22", [](Bytes& f) { PutU32(f, kD3dFormat, 22); }, "unsupported D3D format 22"},
    {"Depth24", [](Bytes& f) { f[kDepth] = 24; }, "depth 24"},
    {"LevelSizeOneTexelShort", [](Bytes& f) { PutU32(f, kLevel0Size, 124); },
     "level 0 holds 124 bytes, 8x4 needs 128"},
    {"SecondLevelAnnouncedButAbsent", [](Bytes& f) { f[kLevels] = 2; }, "level 1 size is missing"},
    {"LevelLargerThanItsStruct",
     [](Bytes& f) {
         PutU16(f, kWidth, 16);
         PutU32(f, kLevel0Size, 256);
     },
     "level 0 data runs past"},
    {"LevelSizeWrappedTo32Bits", // 32768 * 32768 * 4 is 2^32, 0 in 32 bits: a file without pixels
     [](Bytes& f) {
         PutU16(f, kWidth, 32768);
         PutU16(f, kHeight, 32768);
         PutU32(f, kLevel0Size, 0);
         f.erase(f.begin() + kPixels, f.begin() + kNativeExtension);
         for (std::size_t at : {kRasterSize, kNativeSize, kRootSize})
             AddToU32(f, at, static_cast<std::uint32_t>(-kSmallPixelBytes));
     },
     "32768x32768 needs 4294967296"},
    {"BytesAfterTheLastLevel",
     [](Bytes& f) {
         GrowRasterStruct(f, {0, 0, 0, 0});
     },
     "4 bytes after its last level"},
    {"TextureExtensionMissing", [](Bytes& f) { PutU32(f, kNativeExtension, 0x01); },
     "texture extension is missing"},
    {"DictionaryExtensionMissing", [](Bytes& f) { AddToU32(f, kRootSize, static_cast<std::uint32_t>(-12)); },
     "dictionary extension is missing"},
    {"DictionaryExtensionPayloadPastTheRoot", [](Bytes& f) { PutU32(f, kDictionaryExtension + 4, 1); },
     "dictionary extension size 1"},
    {"ChunkAfterTheDictionaryExtension",
     [](Bytes& f) {
         f.insert(f.end(), {3, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x03, 0x18});
         AddToU32(f, kRootSize, 12);
     },
     "12 unexpected bytes after the dictionary extension"},
    {"BytesAfterTheTextureExtension",
     [](Bytes& f) {
         f.insert(f.begin() + kDictionaryExtension, {9, 9});
         AddToU32(f, kNativeSize, 2);
         AddToU32(f, kRootSize, 2);
     },
     "2 unexpected bytes after the texture extension"},
};

INSTANTIATE_TEST_SUITE_P(Files, DamagedFile, testing::ValuesIn(kDamage),
                         [](const auto& instance) { return std::string(instance.param.name); });

struct BadTexture {
    const char* name;
    DecodedTexture texture;
};
void PrintTo(const BadTexture& t, std::ostream* os) {
    *os << t.name;
}

class WriterRefuses : public testing::TestWithParam<BadTexture> {};

TEST_P(WriterRefuses, TextureTheHostCannotLoad) {
    std::string error;
    EXPECT_FALSE(txd::WriteTextureDictionary(GetParam().texture, &error));
    EXPECT_FALSE(error.empty());
}

DecodedTexture WithName(std::string name) {
    DecodedTexture t = PatternTexture(4, 4);
    t.name = std::move(name);
    return t;
}

DecodedTexture WithPixelBytes(std::size_t count) {
    DecodedTexture t = PatternTexture(4, 4);
    t.rgba.resize(count);
    return t;
}

INSTANTIATE_TEST_SUITE_P(Textures, WriterRefuses,
                         testing::Values(BadTexture{"EmptyName", WithName("")},
                                         BadTexture{"NameOf32Characters", WithName(std::string(32, 'x'))},
                                         BadTexture{"NameWithNul", WithName(std::string("a\0b", 3))},
                                         BadTexture{"WidthZero", DecodedTexture{"t", 0, 4, true, {}}},
                                         BadTexture{"WidthNotAPowerOfTwo", PatternTexture(6, 4)},
                                         BadTexture{"HeightOf65536", DecodedTexture{"t", 1, 65536, true, {}}},
                                         BadTexture{"PixelsOneByteShort", WithPixelBytes(63)},
                                         BadTexture{"PixelsOneByteLong", WithPixelBytes(65)}),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST(UnpackLibraryVersion, OfTheHostsStampAndAnOldStamp) {
    EXPECT_EQ(txd::UnpackLibraryVersion(0x1803FFFF), 0x36003U);
    EXPECT_EQ(txd::UnpackLibraryVersion(0x00000310), 0x31000U);
    EXPECT_EQ(txd::UnpackLibraryVersion(0x1C02FFFF), 0x37002U);
}

// Mutated files: every result is a clean rejection or a texture whose sizes agree; a
// mutation that only touches pixel bytes must still read, with the bytes it wrote.
TEST(ReadTextureDictionary, ThousandsOfMutatedFilesFailCleanlyOrDecodeConsistently) {
    std::vector<Bytes> bases;
    bases.push_back(SmallFile());
    for (const Variation& v : kAcceptedVariations) {
        bases.push_back(SmallFile());
        v.change(bases.back());
    }
    // Offsets of header fields in the small file: chunk headers, counts, raster header.
    const std::size_t fields[] = {0,
                                  kRootSize,
                                  kRootStamp,
                                  12,
                                  kDictionaryStructSize,
                                  20,
                                  kTextureCount,
                                  28,
                                  kNativeSize,
                                  36,
                                  40,
                                  kRasterSize,
                                  kRasterStamp,
                                  kPlatform,
                                  kFilter,
                                  kRasterFormat,
                                  kD3dFormat,
                                  kWidth,
                                  kDepth,
                                  kLevel0Size,
                                  kNativeExtension,
                                  kNativeExtension + 4,
                                  kDictionaryExtension,
                                  kDictionaryExtension + 4};
    const std::size_t sizeFields[] = {kRootSize,
                                      kDictionaryStructSize,
                                      kNativeSize,
                                      kRasterSize,
                                      kLevel0Size,
                                      kNativeExtension + 4,
                                      kDictionaryExtension + 4};

    std::mt19937 random(20240611);
    auto below = [&](std::size_t n) {
        return n == 0 ? std::size_t{0} : static_cast<std::size_t>(random() % n);
    };
    GuardedFile guarded(64 * 1024);
    int accepted = 0;
    int rejected = 0;
    for (int round = 0; round < 5000; ++round) {
        const Bytes& base = bases[below(bases.size())];
        Bytes file = base;
        bool onlyPixels = true;
        const std::size_t kinds = 1 + below(3);
        for (std::size_t k = 0; k < kinds; ++k) {
            switch (below(4)) {
            case 0: { // byte flips
                if (file.empty())
                    break;
                for (std::size_t n = 1 + below(4); n > 0; --n) {
                    const std::size_t at = below(file.size());
                    file[at] ^= static_cast<std::uint8_t>(1 + below(255));
                    onlyPixels = onlyPixels && &base == &bases[0] && at >= kPixels && at < kNativeExtension;
                }
                break;
            }
            case 1: // truncation
                file.resize(below(file.size()));
                onlyPixels = false;
                break;
            case 2: { // a size field off by a little, or wildly
                const std::size_t at = sizeFields[below(std::size(sizeFields))];
                if (at + 4 > file.size())
                    break;
                const std::uint32_t choices[] = {
                    0, 0xFFFFFFFF, 0x80000000, static_cast<std::uint32_t>(random()),
                    GetU32(file, at) + static_cast<std::uint32_t>(below(33)) - 16};
                PutU32(file, at, choices[below(std::size(choices))]);
                onlyPixels = false;
                break;
            }
            case 3: { // any header field replaced by a random value
                const std::size_t at = fields[below(std::size(fields))];
                if (at + 4 > file.size())
                    break;
                PutU32(file, at, static_cast<std::uint32_t>(random()));
                onlyPixels = false;
                break;
            }
            }
        }
        std::string error;
        const auto decoded = txd::ReadTextureDictionary(guarded.Place(file), &error);
        if (!decoded) {
            ++rejected;
            ASSERT_FALSE(error.empty()) << "round " << round;
            ASSERT_FALSE(onlyPixels) << "round " << round << ": pixel bytes alone made it fail: " << error;
            continue;
        }
        ++accepted;
        ASSERT_GE(decoded->width, 1U) << "round " << round;
        ASSERT_GE(decoded->height, 1U) << "round " << round;
        ASSERT_EQ(decoded->rgba.size(), std::uint64_t{decoded->width} * decoded->height * 4)
            << "round " << round;
        ASSERT_LE(decoded->rgba.size(), file.size()) << "round " << round;
        ASSERT_FALSE(decoded->name.empty()) << "round " << round;
        ASSERT_LT(decoded->name.size(), 32U) << "round " << round;
        if (onlyPixels) {
            for (std::size_t i = 0; i < kSmallPixelBytes; i += 4) {
                const std::size_t at = kPixels + i;
                ASSERT_EQ(decoded->rgba[i + 0], file[at + 2]) << "round " << round;
                ASSERT_EQ(decoded->rgba[i + 1], file[at + 1]) << "round " << round;
                ASSERT_EQ(decoded->rgba[i + 2], file[at + 0]) << "round " << round;
                ASSERT_EQ(decoded->rgba[i + 3], file[at + 3]) << "round " << round;
            }
        }
    }
    // Both outcomes must occur, or the mutations missed the reader's checks or its happy path.
    EXPECT_GT(accepted, 100);
    EXPECT_GT(rejected, 1000);
}

// Removes a file on scope exit.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() { std::remove(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

TEST(TextureDictionaryFile, WrittenFileReadsBackAndAMissingOneNamesItsPath) {
    const TemporaryFile file(testing_support::SelfPath() + ".roundtrip.txd");
    const DecodedTexture original = PatternTexture(16, 8, "file");
    std::string error;
    ASSERT_TRUE(txd::WriteTextureDictionaryFile(file.Path(), original, &error)) << error;
    const auto decoded = txd::ReadTextureDictionaryFile(file.Path(), &error);
    ASSERT_TRUE(decoded) << error;
    EXPECT_EQ(decoded->rgba, original.rgba);

    const std::string missing = file.Path() + ".missing";
    EXPECT_FALSE(txd::ReadTextureDictionaryFile(missing, &error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
}

} // namespace
