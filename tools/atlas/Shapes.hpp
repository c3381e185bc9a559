#pragma once
// Plane geometry for drawing the atlas: points, signed distances of simple shapes and the
// coverage of a texel by a shape. Lengths are texels; angles are degrees with 0 pointing
// right and growing clockwise on screen (y grows downward).
#include <algorithm>
#include <cmath>

namespace atlas {

inline constexpr float kPi = 3.14159265358979f;

struct Vec2 {
    float x = 0;
    float y = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator*(Vec2 a, float k) {
    return {a.x * k, a.y * k};
}
inline float Dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
inline float Cross(Vec2 a, Vec2 b) {
    return a.x * b.y - a.y * b.x;
}
inline float Length(Vec2 a) {
    return std::sqrt(Dot(a, a));
}
inline Vec2 Normalised(Vec2 a) {
    return a * (1.0f / Length(a));
}

inline float Radians(float degrees) {
    return degrees * kPi / 180.0f;
}

// The unit vector at an angle.
inline Vec2 Direction(float degrees) {
    return {std::cos(Radians(degrees)), std::sin(Radians(degrees))};
}

// The angle of a vector, in [0, 360).
inline float AngleOf(Vec2 a) {
    const float degrees = std::atan2(a.y, a.x) * 180.0f / kPi;
    return degrees < 0 ? degrees + 360.0f : degrees;
}

// How much of a texel a shape covers, from the signed distance of the texel's centre to the
// shape's edge (negative inside): a one-texel ramp across the edge.
inline float Coverage(float signedDistance) {
    return std::clamp(0.5f - signedDistance, 0.0f, 1.0f);
}

inline float SmoothStep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

inline float DistanceToSegment(Vec2 p, Vec2 a, Vec2 b) {
    const Vec2 ab = b - a;
    const float lengthSquared = Dot(ab, ab);
    const float t = lengthSquared > 0 ? std::clamp(Dot(p - a, ab) / lengthSquared, 0.0f, 1.0f) : 0.0f;
    return Length(p - (a + ab * t));
}

// A circular arc from `start` through `sweep` degrees (negative sweeps run anticlockwise).
struct Arc {
    Vec2 centre;
    float radius = 0;
    float start = 0;
    float sweep = 0;
};

inline float DistanceToArc(Vec2 p, const Arc& arc) {
    float start = arc.start;
    float sweep = arc.sweep;
    if (sweep < 0) {
        start += sweep;
        sweep = -sweep;
    }
    const Vec2 d = p - arc.centre;
    const float along = std::fmod(AngleOf(d) - start + 720.0f, 360.0f);
    if (along <= sweep)
        return std::fabs(Length(d) - arc.radius);
    const Vec2 a = arc.centre + Direction(start) * arc.radius;
    const Vec2 b = arc.centre + Direction(start + sweep) * arc.radius;
    return std::min(Length(p - a), Length(p - b));
}

// A rectangle centred on `centre` whose long axis runs along `axis` (unit vector).
inline float SignedDistanceToBox(Vec2 p, Vec2 centre, Vec2 axis, float halfLength, float halfWidth) {
    const Vec2 d = p - centre;
    const float along = std::fabs(Dot(d, axis)) - halfLength;
    const float across = std::fabs(Cross(axis, d)) - halfWidth;
    const Vec2 outside{std::max(along, 0.0f), std::max(across, 0.0f)};
    return Length(outside) + std::min(std::max(along, across), 0.0f);
}

// Two circles joined by their outer tangents: radius `baseRadius` at `base` and `tipRadius`
// at `tip`.
inline float SignedDistanceToTaperedCapsule(Vec2 p, Vec2 base, Vec2 tip, float baseRadius, float tipRadius) {
    const Vec2 axis = tip - base;
    const float h = Length(axis);
    const Vec2 u = axis * (1.0f / h);
    const Vec2 d = p - base;
    const Vec2 q{std::fabs(Cross(u, d)), Dot(d, u)}; // across, along
    const float b = (baseRadius - tipRadius) / h;
    const float a = std::sqrt(1.0f - b * b);
    const float k = Dot(q, Vec2{-b, a});
    if (k < 0)
        return Length(q) - baseRadius;
    if (k > a * h)
        return Length(q - Vec2{0, h}) - tipRadius;
    return Dot(q, Vec2{a, b}) - baseRadius;
}

// The signed distance, along the circle through p about `centre`, from p to the nearer end of
// the angles [start, end] (negative between them); end may exceed 360.
inline float SignedDistanceToAngles(Vec2 p, Vec2 centre, float start, float end) {
    const Vec2 d = p - centre;
    const float radius = Length(d);
    const float span = end - start;
    const float along = std::fmod(AngleOf(d) - start + 720.0f, 360.0f);
    if (along <= span)
        return -Radians(std::min(along, span - along)) * radius;
    return Radians(std::min(along - span, 360.0f - along)) * radius;
}

// A ring between two radii, cut to the angles [start, end].
inline float SignedDistanceToRingSector(Vec2 p, Vec2 centre, float inner, float outer, float start,
                                        float end) {
    const float r = Length(p - centre);
    const float radial = std::max(inner - r, r - outer);
    return std::max(radial, SignedDistanceToAngles(p, centre, start, end));
}

} // namespace atlas
