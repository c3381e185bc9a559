#pragma once
// The stand-in's texture records and images: RGBA8 in memory, rows top to bottom.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace standin {

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// An RGBA8 picture.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    static Image Filled(int width, int height, Rgba colour);
    Rgba At(int x, int y) const;
    void Set(int x, int y, Rgba colour);
    // Sets every pixel of [left, right) x [top, bottom), clipped to the picture.
    void FillRect(int left, int top, int right, int bottom, Rgba colour);
};

// A host texture record. The host binds a texture by the record's first 32-bit field,
// so bindValue must stay first.
struct Texture {
    std::uint32_t bindValue = 0;
    Image image;
};

} // namespace standin
