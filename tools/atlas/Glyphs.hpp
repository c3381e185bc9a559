#pragma once
// The dial's digits: square-shouldered strokes with rounded corners, drawn as the centre
// lines of a pen. Outlines are in units of the glyph's height, origin at the top-left corner
// of the glyph's box, y downward.
#include "tools/atlas/Shapes.hpp"

#include <vector>

namespace atlas {

struct Stroke {
    bool isArc = false;
    Vec2 from; // line ends
    Vec2 to;
    Arc arc;
};

struct GlyphOutline {
    float width = 0; // of the box the pen's centre stays in; the height is 1
    std::vector<Stroke> strokes;
};

// The digit 0 to 9 in a box `width` wide and 1 high, with corners of radius `corner`.
GlyphOutline DigitOutline(int digit, float width, float corner);

// The outline scaled by `height` and moved to `topLeft`.
GlyphOutline PlaceOutline(const GlyphOutline& outline, Vec2 topLeft, float height);

// The leftmost and rightmost x of the pen's centre lines.
struct InkSpan {
    float left = 0;
    float right = 0;
};
InkSpan HorizontalInk(const GlyphOutline& outline);

// Distance from p to the nearest stroke's centre line.
float DistanceToOutline(const GlyphOutline& outline, Vec2 p);

} // namespace atlas
