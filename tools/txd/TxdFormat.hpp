#pragma once
// The host's texture-dictionary file (.txd), PC/D3D9 flavour: one uncompressed A8R8G8B8
// texture per dictionary, straight alpha. Pixels are RGBA bytes in memory, B,G,R,A on disk.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace txd {

// One texture: rows top to bottom, 4 bytes per texel in the order R, G, B, A.
struct DecodedTexture {
    std::string name;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool hasAlpha = false; // the raster's alpha flag; the host blends only textures that carry it
    std::vector<std::uint8_t> rgba;
};

inline constexpr std::uint32_t kChunkStruct = 0x01;
inline constexpr std::uint32_t kChunkExtension = 0x03;
inline constexpr std::uint32_t kChunkTextureNative = 0x15;
inline constexpr std::uint32_t kChunkTextureDictionary = 0x16;
inline constexpr std::uint32_t kLibraryStamp = 0x1803FFFF; // library 3.6.0.3, build 0xFFFF
inline constexpr std::uint32_t kNewestLibraryVersion = 0x36003;

// The library version a chunk stamp stands for (old stamps without a build field included).
std::uint32_t UnpackLibraryVersion(std::uint32_t stamp);

// The whole file for one texture with one level, as the host loads it: a name of 1 to 31
// characters, width and height powers of two from 1 to 32768, rgba of width*height*4 bytes;
// the alpha flag is always set. Nothing, with the reason in *error (when not null), for a
// texture that breaks these.
std::optional<std::vector<std::uint8_t>> WriteTextureDictionary(const DecodedTexture& texture,
                                                                std::string* error);

// The first texture of a dictionary (level 0), or nothing with a reason in *error (when not null)
// for a file that is damaged, holds a texture format other than uncompressed 8888, or a texture
// the host cannot load (no name, sides not powers of two). Bytes after the root chunk are ignored.
std::optional<DecodedTexture> ReadTextureDictionary(std::span<const std::uint8_t> file, std::string* error);

// File helpers around the two: false / nothing with a reason in *error on failure.
bool WriteTextureDictionaryFile(const std::string& path, const DecodedTexture& texture, std::string* error);
std::optional<DecodedTexture> ReadTextureDictionaryFile(const std::string& path, std::string* error);

} // namespace txd
