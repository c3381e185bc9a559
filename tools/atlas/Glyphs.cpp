#include "tools/atlas/Glyphs.hpp"

#include <cassert>
#include <limits>

namespace atlas {
namespace {

Stroke Line(Vec2 from, Vec2 to) {
    return {false, from, to, {}};
}

// A corner of a path; a sharp one is not rounded.
struct PathPoint {
    float x = 0;
    float y = 0;
    bool sharp = false;
};

// A path through `points` whose corners are rounded to arcs of radius `corner` (smaller
// where a leg is too short for it); `closed` joins the last point to the first.
void AddRoundedPath(std::vector<Stroke>& strokes, const std::vector<PathPoint>& path, bool closed,
                    float corner) {
    std::vector<Vec2> points;
    for (const PathPoint& p : path)
        points.push_back({p.x, p.y});
    const std::size_t n = points.size();
    assert(n >= 2 && "a path needs two points");
    struct Corner {
        Vec2 in;  // where the arc leaves the incoming leg
        Vec2 out; // where it joins the outgoing leg
        bool rounded = false;
        Arc arc;
    };
    std::vector<Corner> corners(n);
    for (std::size_t i = 0; i < n; ++i) {
        corners[i].in = corners[i].out = points[i];
        const bool interior = closed || (i > 0 && i + 1 < n);
        if (!interior || path[i].sharp)
            continue;
        const Vec2 previous = points[(i + n - 1) % n];
        const Vec2 next = points[(i + 1) % n];
        const Vec2 u = Normalised(points[i] - previous);
        const Vec2 v = Normalised(next - points[i]);
        const float turn = std::acos(std::clamp(Dot(u, v), -1.0f, 1.0f));
        if (turn < 1e-3f)
            continue;
        // The legs are shared with the neighbouring corners: each may use half of a leg.
        const float room = 0.5f * std::min(Length(points[i] - previous), Length(next - points[i]));
        float radius = corner;
        float cut = radius * std::tan(turn / 2);
        if (cut > room) {
            cut = room;
            radius = cut / std::tan(turn / 2);
        }
        const float side = Cross(u, v) > 0 ? 1.0f : -1.0f; // clockwise on screen when positive
        const Vec2 normal{-u.y * side, u.x * side};
        Corner& c = corners[i];
        c.in = points[i] - u * cut;
        c.out = points[i] + v * cut;
        c.rounded = true;
        const Vec2 centre = c.in + normal * radius;
        c.arc = {centre, radius, AngleOf(c.in - centre), side * turn * 180.0f / kPi};
    }
    const std::size_t legs = closed ? n : n - 1;
    for (std::size_t i = 0; i < legs; ++i) {
        const Corner& a = corners[i];
        const Corner& b = corners[(i + 1) % n];
        strokes.push_back(Line(a.out, b.in));
    }
    for (const Corner& c : corners)
        if (c.rounded)
            strokes.push_back({true, {}, {}, c.arc});
}

} // namespace

GlyphOutline DigitOutline(int digit, float w, float corner) {
    assert(digit >= 0 && digit <= 9 && "digits run from 0 to 9");
    GlyphOutline g{w, {}};
    auto& s = g.strokes;
    const float mid = 0.5f;
    switch (digit) {
    case 0:
        AddRoundedPath(s, {{0, 0}, {w, 0}, {w, 1}, {0, 1}}, true, corner);
        break;
    case 1: {
        const float stem = 0.62f * w;
        AddRoundedPath(s, {{stem - 0.3f * w, 0.2f}, {stem, 0}, {stem, 1}}, false, corner);
        break;
    }
    case 2:
        AddRoundedPath(s, {{0, 0}, {w, 0}, {w, mid}, {0, mid}, {0, 1}, {w, 1}}, false, corner);
        break;
    case 3:
        AddRoundedPath(s, {{0, 0}, {w, 0}, {w, 1}, {0, 1}}, false, corner);
        s.push_back(Line({0.3f * w, mid}, {w, mid}));
        break;
    case 4:
        AddRoundedPath(s, {{0, 0}, {0, 0.62f}, {w, 0.62f}}, false, corner);
        s.push_back(Line({0.74f * w, 0.34f}, {0.74f * w, 1}));
        break;
    case 5:
        // A square shoulder keeps 5 apart from S.
        AddRoundedPath(s, {{w, 0}, {0, 0, true}, {0, 0.47f}, {w, 0.47f}, {w, 1}, {0, 1}}, false, corner);
        break;
    case 6:
        AddRoundedPath(s, {{w, 0}, {0, 0}, {0, 1}, {w, 1}, {w, mid}, {0, mid}}, false, corner);
        break;
    case 7:
        AddRoundedPath(s, {{0, 0}, {w, 0}, {0.32f * w, 1}}, false, corner);
        break;
    case 8:
        AddRoundedPath(s, {{0, 0}, {w, 0}, {w, 1}, {0, 1}}, true, corner);
        s.push_back(Line({0, mid}, {w, mid}));
        break;
    case 9:
        AddRoundedPath(s, {{w, mid}, {0, mid}, {0, 0}, {w, 0}, {w, 1}, {0, 1}}, false, corner);
        break;
    }
    return g;
}

GlyphOutline PlaceOutline(const GlyphOutline& outline, Vec2 topLeft, float height) {
    GlyphOutline placed{outline.width * height, {}};
    for (Stroke s : outline.strokes) {
        s.from = topLeft + s.from * height;
        s.to = topLeft + s.to * height;
        s.arc.centre = topLeft + s.arc.centre * height;
        s.arc.radius *= height;
        placed.strokes.push_back(s);
    }
    return placed;
}

InkSpan HorizontalInk(const GlyphOutline& outline) {
    InkSpan span{std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()};
    auto take = [&](Vec2 p) {
        span.left = std::min(span.left, p.x);
        span.right = std::max(span.right, p.x);
    };
    for (const Stroke& s : outline.strokes) {
        if (!s.isArc) {
            take(s.from);
            take(s.to);
            continue;
        }
        constexpr int kSteps = 16;
        for (int i = 0; i <= kSteps; ++i)
            take(s.arc.centre +
                 Direction(s.arc.start + s.arc.sweep * static_cast<float>(i) / kSteps) * s.arc.radius);
    }
    return span;
}

float DistanceToOutline(const GlyphOutline& outline, Vec2 p) {
    float nearest = std::numeric_limits<float>::max();
    for (const Stroke& s : outline.strokes)
        nearest = std::min(nearest, s.isArc ? DistanceToArc(p, s.arc) : DistanceToSegment(p, s.from, s.to));
    return nearest;
}

} // namespace atlas
