#include "tools/txd/TxdFormat.hpp"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>

namespace txd {
namespace {

constexpr std::uint64_t kChunkHeaderSize = 12;
constexpr std::uint64_t kDictionaryStructSize = 4;
constexpr std::uint64_t kRasterHeaderSize = 88;
constexpr std::size_t kNameFieldSize = 32;

constexpr std::uint16_t kDeviceD3D9 = 2;
constexpr std::uint32_t kPlatformD3D9 = 9;
constexpr std::uint32_t kFilterLinearWrapWrap = 0x00001102;
constexpr std::uint32_t kRasterPixelFormatMask = 0x0F00;
constexpr std::uint32_t kRaster8888 = 0x0500;
constexpr std::uint32_t kRasterPal8 = 0x2000;
constexpr std::uint32_t kRasterPal4 = 0x4000;
constexpr std::uint32_t kRasterAutoMipmap = 0x1000;
constexpr std::uint32_t kRasterMipmaps = 0x8000;
constexpr std::uint32_t kD3dA8R8G8B8 = 21;
constexpr std::uint8_t kDepth8888 = 32;
constexpr std::uint8_t kRasterTypeTexture = 4;
constexpr std::uint8_t kFlagAlpha = 0x01;
constexpr std::uint8_t kFlagCube = 0x02;
constexpr std::uint8_t kFlagCompressed = 0x08;

constexpr std::uint32_t kLargestSide = 32768; // widths and heights are u16 and powers of two

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

bool IsPowerOfTwo(std::uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

// Level i of a width x height texture; shifts of 32 or more would be undefined, and the
// product of two u16 sides times 4 does not fit in 32 bits.
std::uint64_t LevelSize(std::uint32_t width, std::uint32_t height, unsigned level) {
    const std::uint64_t w = level >= 32 ? 0 : width >> level;
    const std::uint64_t h = level >= 32 ? 0 : height >> level;
    return std::max<std::uint64_t>(1, w) * std::max<std::uint64_t>(1, h) * 4;
}

class ByteWriter {
public:
    explicit ByteWriter(std::size_t capacity) { bytes_.reserve(capacity); }
    void U8(std::uint8_t value) { bytes_.push_back(value); }
    void U16(std::uint16_t value) {
        U8(static_cast<std::uint8_t>(value));
        U8(static_cast<std::uint8_t>(value >> 8));
    }
    void U32(std::uint32_t value) {
        U16(static_cast<std::uint16_t>(value));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    void ChunkHeader(std::uint32_t type, std::uint64_t size) {
        U32(type);
        U32(static_cast<std::uint32_t>(size));
        U32(kLibraryStamp);
    }
    void NameField(const std::string& name) {
        bytes_.insert(bytes_.end(), name.begin(), name.end());
        bytes_.insert(bytes_.end(), kNameFieldSize - name.size(), 0);
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

struct Chunk {
    std::uint32_t type = 0;
    std::uint64_t begin = 0; // first payload byte
    std::uint64_t end = 0;   // one past the last payload byte
};

// Walks the chunk tree. Every offset is 64-bit and every read is preceded by a check that
// the bytes lie inside the current parent, which itself lies inside the file.
class DictionaryParser {
public:
    explicit DictionaryParser(std::span<const std::uint8_t> file) : file_(file) {}

    std::optional<DecodedTexture> Parse() {
        if (file_.size() < kChunkHeaderSize)
            return Fail("file of " + std::to_string(file_.size()) + " bytes is shorter than a chunk header");
        const std::uint32_t rootType = U32(0);
        if (rootType != kChunkTextureDictionary)
            return Fail("root chunk type " + Hex(rootType) + " is not a texture dictionary (0x16)");
        const std::uint64_t rootSize = U32(4);
        if (rootSize > file_.size() - kChunkHeaderSize)
            return Fail("root chunk size " + std::to_string(rootSize) + " runs past the end of the " +
                        std::to_string(file_.size()) + "-byte file");
        if (!CheckStamp(U32(8), "texture dictionary"))
            return std::nullopt;
        const std::uint64_t end = kChunkHeaderSize + rootSize;
        std::uint64_t cursor = kChunkHeaderSize;

        Chunk header;
        if (!NextChunk(cursor, end, kChunkStruct, "dictionary struct", header))
            return std::nullopt;
        if (header.end - header.begin != kDictionaryStructSize)
            return Fail("dictionary struct is " + std::to_string(header.end - header.begin) +
                        " bytes, not 4");
        const std::uint32_t textureCount = U16(header.begin); // the device id after it is not ours to judge
        if (textureCount == 0)
            return Fail("dictionary holds no texture");

        DecodedTexture first;
        std::uint32_t nativesPresent = 0;
        while (end - cursor >= kChunkHeaderSize && U32(cursor) == kChunkTextureNative) {
            Chunk native;
            if (!NextChunk(cursor, end, kChunkTextureNative, "texture native", native))
                return std::nullopt;
            DecodedTexture ignored;
            if (!ParseNative(native, nativesPresent == 0 ? &first : &ignored, nativesPresent == 0))
                return std::nullopt;
            ++nativesPresent;
        }
        if (nativesPresent != textureCount)
            return Fail("dictionary announces " + std::to_string(textureCount) + " textures but holds " +
                        std::to_string(nativesPresent));
        Chunk extension;
        if (!NextChunk(cursor, end, kChunkExtension, "dictionary extension", extension))
            return std::nullopt;
        if (cursor != end)
            return Fail(std::to_string(end - cursor) + " unexpected bytes after the dictionary extension");
        return first;
    }

    const std::string& Error() const { return error_; }

private:
    std::nullopt_t Fail(std::string message) {
        error_ = std::move(message);
        return std::nullopt;
    }
    bool Reject(std::string message) {
        error_ = std::move(message);
        return false;
    }

    std::uint8_t U8(std::uint64_t at) const { return file_[static_cast<std::size_t>(at)]; }
    std::uint16_t U16(std::uint64_t at) const { return static_cast<std::uint16_t>(U8(at) | U8(at + 1) << 8); }
    std::uint32_t U32(std::uint64_t at) const {
        return static_cast<std::uint32_t>(U16(at)) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
    }

    bool CheckStamp(std::uint32_t stamp, const char* what) {
        if (UnpackLibraryVersion(stamp) <= kNewestLibraryVersion)
            return true;
        return Reject(std::string(what) + " chunk stamp " + Hex(stamp) +
                      " is from a library newer than 3.6.0.3");
    }

    // The chunk at cursor, which must be of the given type and lie inside [cursor, end);
    // cursor moves past it.
    bool NextChunk(std::uint64_t& cursor, std::uint64_t end, std::uint32_t type, const char* what,
                   Chunk& chunk) {
        if (end - cursor < kChunkHeaderSize)
            return Reject(std::string(what) + " is missing: its header does not fit in the enclosing chunk");
        const std::uint32_t foundType = U32(cursor);
        if (foundType != type)
            return Reject(std::string(what) + " is missing: found chunk type " + Hex(foundType) +
                          " instead of " + Hex(type));
        const std::uint64_t size = U32(cursor + 4);
        if (size > end - cursor - kChunkHeaderSize)
            return Reject(std::string(what) + " size " + std::to_string(size) +
                          " runs past the enclosing chunk");
        if (!CheckStamp(U32(cursor + 8), what))
            return false;
        chunk.type = foundType;
        chunk.begin = cursor + kChunkHeaderSize;
        chunk.end = chunk.begin + size;
        cursor = chunk.end;
        return true;
    }

    // A NUL-terminated name in a 32-byte field.
    bool NameField(std::uint64_t at, const char* what, std::string& name) {
        const auto field = file_.subspan(static_cast<std::size_t>(at), kNameFieldSize);
        const auto nul = std::find(field.begin(), field.end(), std::uint8_t{0});
        if (nul == field.end())
            return Reject(std::string(what) + " is not NUL-terminated within 32 bytes");
        name.assign(field.begin(), nul);
        return true;
    }

    bool ParseNative(const Chunk& native, DecodedTexture* out, bool decodePixels) {
        std::uint64_t cursor = native.begin;
        Chunk raster;
        if (!NextChunk(cursor, native.end, kChunkStruct, "texture struct", raster))
            return false;
        const std::uint64_t s = raster.begin;
        if (raster.end - s < kRasterHeaderSize)
            return Reject("texture struct is " + std::to_string(raster.end - s) +
                          " bytes, shorter than the 88-byte raster header");
        const std::uint32_t platform = U32(s);
        if (platform != kPlatformD3D9)
            return Reject("platform id " + std::to_string(platform) + " is not D3D9 (9)");
        std::string mask;
        if (!NameField(s + 8, "texture name", out->name) || !NameField(s + 40, "mask name", mask))
            return false;
        if (out->name.empty())
            return Reject("texture has an empty name");

        const std::uint32_t format = U32(s + 72);
        const std::uint32_t d3dFormat = U32(s + 76);
        const std::uint32_t width = U16(s + 80);
        const std::uint32_t height = U16(s + 82);
        const std::uint8_t depth = U8(s + 84);
        const unsigned levels = U8(s + 85);
        const std::uint8_t flags = U8(s + 87);
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        if (width == 0 || height == 0)
            return Reject("texture size " + size + " is empty");
        if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height))
            return Reject("texture size " + size + " is not a power of two");
        if (levels == 0)
            return Reject("texture has no levels");
        if (flags & kFlagCube)
            return Reject("unsupported: cube texture");
        if (flags & kFlagCompressed)
            return Reject("unsupported: compressed texture (D3D format " + Hex(d3dFormat) + ")");
        if (format & (kRasterPal8 | kRasterPal4))
            return Reject("unsupported: palette raster format " + Hex(format));
        if ((format & kRasterPixelFormatMask) != kRaster8888 ||
            (format & ~(kRaster8888 | kRasterAutoMipmap | kRasterMipmaps)) != 0)
            return Reject("unsupported raster format " + Hex(format) + " (only 8888, 0x500)");
        if (d3dFormat != kD3dA8R8G8B8)
            return Reject("unsupported D3D format " + std::to_string(d3dFormat) + " for 8888 (only 21)");
        if (depth != kDepth8888)
            return Reject("depth " + std::to_string(depth) + " does not match 8888 (32)");

        std::uint64_t at = s + kRasterHeaderSize;
        for (unsigned level = 0; level < levels; ++level) {
            const std::string which = "level " + std::to_string(level);
            if (raster.end - at < 4)
                return Reject(which + " size is missing");
            const std::uint64_t stored = U32(at);
            const std::uint64_t expected = LevelSize(width, height, level);
            if (stored != expected)
                return Reject(which + " holds " + std::to_string(stored) + " bytes, " + size + " needs " +
                              std::to_string(expected));
            at += 4;
            if (raster.end - at < stored)
                return Reject(which + " data runs past the texture struct");
            if (level == 0 && decodePixels)
                DecodeLevel(at, stored, out->rgba);
            at += stored;
        }
        if (at != raster.end)
            return Reject("texture struct holds " + std::to_string(raster.end - at) +
                          " bytes after its last level");
        out->width = width;
        out->height = height;
        out->hasAlpha = (flags & kFlagAlpha) != 0;

        Chunk extension;
        if (!NextChunk(cursor, native.end, kChunkExtension, "texture extension", extension))
            return false;
        if (cursor != native.end)
            return Reject(std::to_string(native.end - cursor) +
                          " unexpected bytes after the texture extension");
        return true;
    }

    void DecodeLevel(std::uint64_t at, std::uint64_t size, std::vector<std::uint8_t>& rgba) const {
        const auto bgra = file_.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(size));
        rgba.resize(bgra.size());
        for (std::size_t i = 0; i < bgra.size(); i += 4) {
            rgba[i + 0] = bgra[i + 2];
            rgba[i + 1] = bgra[i + 1];
            rgba[i + 2] = bgra[i + 0];
            rgba[i + 3] = bgra[i + 3];
        }
    }

    std::span<const std::uint8_t> file_;
    std::string error_;
};

void SetError(std::string* error, std::string message) {
    if (error)
        *error = std::move(message);
}

} // namespace

std::uint32_t UnpackLibraryVersion(std::uint32_t stamp) {
    if (stamp & 0xFFFF0000)
        return (((stamp >> 14) & 0x3FF00) + 0x30000) | ((stamp >> 16) & 0x3F);
    return stamp << 8;
}

std::optional<std::vector<std::uint8_t>> WriteTextureDictionary(const DecodedTexture& texture,
                                                                std::string* error) {
    auto refuse = [&](const char* reason) {
        SetError(error, reason);
        return std::nullopt;
    };
    if (texture.name.empty() || texture.name.size() >= kNameFieldSize ||
        texture.name.find('\0') != std::string::npos)
        return refuse("texture name must have 1 to 31 characters and no NUL");
    if (!IsPowerOfTwo(texture.width) || !IsPowerOfTwo(texture.height) || texture.width > kLargestSide ||
        texture.height > kLargestSide)
        return refuse("texture width and height must be powers of two from 1 to 32768");
    const std::uint64_t levelSize = LevelSize(texture.width, texture.height, 0);
    if (texture.rgba.size() != levelSize)
        return refuse("texture pixels must be width * height * 4 bytes");

    const std::uint64_t structSize = kRasterHeaderSize + 4 + levelSize;
    const std::uint64_t nativeSize = kChunkHeaderSize + structSize + kChunkHeaderSize;
    const std::uint64_t dictionarySize =
        kChunkHeaderSize + kDictionaryStructSize + kChunkHeaderSize + nativeSize + kChunkHeaderSize;
    const std::uint64_t fileSize = kChunkHeaderSize + dictionarySize;
    if (fileSize > std::numeric_limits<std::uint32_t>::max())
        return refuse("texture too large for a dictionary file");

    ByteWriter out(static_cast<std::size_t>(fileSize));
    out.ChunkHeader(kChunkTextureDictionary, dictionarySize);
    out.ChunkHeader(kChunkStruct, kDictionaryStructSize);
    out.U16(1);
    out.U16(kDeviceD3D9);
    out.ChunkHeader(kChunkTextureNative, nativeSize);
    out.ChunkHeader(kChunkStruct, structSize);
    out.U32(kPlatformD3D9);
    out.U32(kFilterLinearWrapWrap);
    out.NameField(texture.name);
    out.NameField("");
    out.U32(kRaster8888);
    out.U32(kD3dA8R8G8B8);
    out.U16(static_cast<std::uint16_t>(texture.width));
    out.U16(static_cast<std::uint16_t>(texture.height));
    out.U8(kDepth8888);
    out.U8(1); // levels
    out.U8(kRasterTypeTexture);
    out.U8(kFlagAlpha);
    out.U32(static_cast<std::uint32_t>(levelSize));
    for (std::size_t i = 0; i < texture.rgba.size(); i += 4) {
        out.U8(texture.rgba[i + 2]);
        out.U8(texture.rgba[i + 1]);
        out.U8(texture.rgba[i + 0]);
        out.U8(texture.rgba[i + 3]);
    }
    out.ChunkHeader(kChunkExtension, 0);
    out.ChunkHeader(kChunkExtension, 0);
    return out.Take();
}

std::optional<DecodedTexture> ReadTextureDictionary(std::span<const std::uint8_t> file, std::string* error) {
    DictionaryParser parser(file);
    auto texture = parser.Parse();
    if (!texture)
        SetError(error, parser.Error());
    return texture;
}

bool WriteTextureDictionaryFile(const std::string& path, const DecodedTexture& texture, std::string* error) {
    const auto bytes = WriteTextureDictionary(texture, error);
    if (!bytes)
        return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    file.close();
    if (!file) {
        SetError(error, "cannot write " + path);
        return false;
    }
    return true;
}

std::optional<DecodedTexture> ReadTextureDictionaryFile(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        SetError(error, "cannot open " + path);
        return std::nullopt;
    }
    const std::streamoff length = file.tellg();
    if (length < 0 || static_cast<std::uint64_t>(length) > std::numeric_limits<std::size_t>::max() / 2) {
        SetError(error, "cannot size " + path);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        SetError(error, "cannot read " + path);
        return std::nullopt;
    }
    std::string reason;
    auto texture = ReadTextureDictionary(bytes, &reason);
    if (!texture)
        SetError(error, path + ": " + reason);
    return texture;
}

} // namespace txd
