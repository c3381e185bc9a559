#include "standin/Texture.hpp"

#include <algorithm>
#include <cstddef>

namespace standin {

static_assert(offsetof(Texture, bindValue) == 0, "the host binds a texture by its record's first field");

Image Image::Filled(int width, int height, Rgba colour) {
    Image image;
    image.width = width;
    image.height = height;
    image.rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    image.FillRect(0, 0, width, height, colour);
    return image;
}

Rgba Image::At(int x, int y) const {
    const std::size_t i =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
}

void Image::Set(int x, int y, Rgba colour) {
    const std::size_t i =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
    rgba[i] = colour.r;
    rgba[i + 1] = colour.g;
    rgba[i + 2] = colour.b;
    rgba[i + 3] = colour.a;
}

void Image::FillRect(int left, int top, int right, int bottom, Rgba colour) {
    for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, width); ++x) {
            Set(x, y, colour);
        }
    }
}

} // namespace standin
