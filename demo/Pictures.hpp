#pragma once
// Small picture operations for the demo's contact sheet: scaling down, pasting, outlines
// and labels in a built-in 5 x 7 pixel font.
#include "standin/Texture.hpp"

#include <string_view>

namespace demo {

// The picture scaled down to width x height, each pixel the average of the source pixels
// it covers.
standin::Image ScaleDown(const standin::Image& image, int width, int height);

// Copies part into target with its top left corner at (x, y), clipped to target.
void Paste(standin::Image& target, const standin::Image& part, int x, int y);

// A one-pixel frame along the inside of [left, right) x [top, bottom).
void Outline(standin::Image& target, int left, int top, int right, int bottom, standin::Rgba colour);

// Height and width in pixels of a label drawn with the given pixel size.
inline constexpr int kGlyphColumns = 5;
inline constexpr int kGlyphRows = 7;
int LabelHeight(int pixel);
int LabelWidth(std::string_view text, int pixel);

// Draws text with its top left corner at (x, y), each font pixel a pixel x pixel square.
// Knows digits, capital letters, lower-case x, '.', ':', '-' and space; any other
// character is drawn as a box.
void DrawLabel(standin::Image& target, std::string_view text, int x, int y, int pixel, standin::Rgba colour);

} // namespace demo
