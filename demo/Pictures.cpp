#include "demo/Pictures.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace demo {
namespace {

struct Glyph {
    char character;
    std::array<const char*, kGlyphRows> rows;
};

// clang-format off
constexpr Glyph kGlyphs[] = {
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
};
constexpr Glyph kUnknownGlyph{'?', {"#####", "#...#", "#...#", "#...#", "#...#", "#...#", "#####"}};
// clang-format on

const Glyph& GlyphOf(char c) {
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == c) {
            return glyph;
        }
    }
    return kUnknownGlyph;
}

// One column of space between glyphs.
constexpr int kAdvance = kGlyphColumns + 1;

} // namespace

standin::Image ScaleDown(const standin::Image& image, int width, int height) {
    standin::Image out = standin::Image::Filled(width, height, {});
    for (int y = 0; y < height; ++y) {
        const int top = y * image.height / height;
        const int bottom = std::max(top + 1, (y + 1) * image.height / height);
        for (int x = 0; x < width; ++x) {
            const int left = x * image.width / width;
            const int right = std::max(left + 1, (x + 1) * image.width / width);
            std::array<int, 4> sum{};
            for (int sy = top; sy < bottom; ++sy) {
                for (int sx = left; sx < right; ++sx) {
                    const standin::Rgba p = image.At(sx, sy);
                    sum[0] += p.r;
                    sum[1] += p.g;
                    sum[2] += p.b;
                    sum[3] += p.a;
                }
            }
            const int n = (bottom - top) * (right - left);
            const auto mean = [n](int total) { return static_cast<std::uint8_t>((total + n / 2) / n); };
            out.Set(x, y, {mean(sum[0]), mean(sum[1]), mean(sum[2]), mean(sum[3])});
        }
    }
    return out;
}

void Paste(standin::Image& target, const standin::Image& part, int x, int y) {
    for (int row = std::max(0, -y); row < part.height && y + row < target.height; ++row) {
        for (int column = std::max(0, -x); column < part.width && x + column < target.width; ++column) {
            target.Set(x + column, y + row, part.At(column, row));
        }
    }
}

void Outline(standin::Image& target, int left, int top, int right, int bottom, standin::Rgba colour) {
    target.FillRect(left, top, right, top + 1, colour);
    target.FillRect(left, bottom - 1, right, bottom, colour);
    target.FillRect(left, top, left + 1, bottom, colour);
    target.FillRect(right - 1, top, right, bottom, colour);
}

int LabelHeight(int pixel) {
    return kGlyphRows * pixel;
}

int LabelWidth(std::string_view text, int pixel) {
    return text.empty() ? 0 : (static_cast<int>(text.size()) * kAdvance - 1) * pixel;
}

void DrawLabel(standin::Image& target, std::string_view text, int x, int y, int pixel, standin::Rgba colour) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph& glyph = GlyphOf(text[i]);
        const int left = x + static_cast<int>(i) * kAdvance * pixel;
        for (int row = 0; row < kGlyphRows; ++row) {
            for (int column = 0; column < kGlyphColumns; ++column) {
                if (glyph.rows[static_cast<std::size_t>(row)][column] == '#') {
                    target.FillRect(left + column * pixel, y + row * pixel, left + (column + 1) * pixel,
                                    y + (row + 1) * pixel, colour);
                }
            }
        }
    }
}

} // namespace demo
