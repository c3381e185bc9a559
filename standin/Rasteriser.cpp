#include "standin/Rasteriser.hpp"

#include <algorithm>
#include <cmath>

namespace standin {
namespace {

struct Point {
    double x;
    double y;
};

// Twice the signed area of (a, b, p); positive when p lies to the right of a->b on a
// screen whose y grows downward.
double Edge(Point a, Point b, Point p) {
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

// For a triangle wound clockwise on screen: the top edge runs right, left edges run up.
bool IsTopLeft(Point a, Point b) {
    return (a.y == b.y && b.x > a.x) || b.y < a.y;
}

bool Covers(double weight, bool topLeft) {
    return weight > 0.0 || (weight == 0.0 && topLeft);
}

std::uint8_t Scale(std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>((a * b + 127) / 255);
}

std::uint8_t ChannelOf(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

Rgba Sample(const Texture* texture, double u, double v) {
    if (texture == nullptr || texture->image.width <= 0 || texture->image.height <= 0) {
        return {255, 255, 255, 255};
    }
    const Image& image = texture->image;
    const auto texel = [](double t, int size) {
        if (!(t >= 0.0)) {
            return 0;
        }
        return static_cast<int>(std::min(std::floor(t * size), static_cast<double>(size - 1)));
    };
    return image.At(texel(u, image.width), texel(v, image.height));
}

void DrawTriangle(Image& target, const Texture* texture, const ScreenVertex& v0, const ScreenVertex& v1In,
                  const ScreenVertex& v2In) {
    const ScreenVertex* v1 = &v1In;
    const ScreenVertex* v2 = &v2In;
    Point p0{v0.x, v0.y};
    Point p1{v1->x, v1->y};
    Point p2{v2->x, v2->y};
    double area = Edge(p0, p1, p2);
    if (!(std::abs(area) > 0.0)) {
        return; // empty, or not a number
    }
    if (area < 0.0) {
        std::swap(v1, v2);
        std::swap(p1, p2);
        area = -area;
    }
    const bool topLeft0 = IsTopLeft(p1, p2);
    const bool topLeft1 = IsTopLeft(p2, p0);
    const bool topLeft2 = IsTopLeft(p0, p1);
    const Rgba c0 = UnpackVertexColour(v0.colour);
    const Rgba c1 = UnpackVertexColour(v1->colour);
    const Rgba c2 = UnpackVertexColour(v2->colour);

    const double minX = std::min({p0.x, p1.x, p2.x});
    const double maxX = std::max({p0.x, p1.x, p2.x});
    const double minY = std::min({p0.y, p1.y, p2.y});
    const double maxY = std::max({p0.y, p1.y, p2.y});
    const int left = static_cast<int>(std::max(0.0, std::floor(minX)));
    const int right = static_cast<int>(std::min(static_cast<double>(target.width), std::ceil(maxX)));
    const int top = static_cast<int>(std::max(0.0, std::floor(minY)));
    const int bottom = static_cast<int>(std::min(static_cast<double>(target.height), std::ceil(maxY)));

    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const Point p{x + 0.5, y + 0.5};
            const double w0 = Edge(p1, p2, p);
            const double w1 = Edge(p2, p0, p);
            const double w2 = Edge(p0, p1, p);
            if (!Covers(w0, topLeft0) || !Covers(w1, topLeft1) || !Covers(w2, topLeft2)) {
                continue;
            }
            const double l0 = w0 / area;
            const double l1 = w1 / area;
            const double l2 = w2 / area;
            const auto mix = [&](double a, double b, double c) { return l0 * a + l1 * b + l2 * c; };
            const Rgba texel = Sample(texture, mix(v0.u, v1->u, v2->u), mix(v0.v, v1->v, v2->v));
            const Rgba shade{ChannelOf(mix(c0.r, c1.r, c2.r)), ChannelOf(mix(c0.g, c1.g, c2.g)),
                             ChannelOf(mix(c0.b, c1.b, c2.b)), ChannelOf(mix(c0.a, c1.a, c2.a))};
            const Rgba source{Scale(texel.r, shade.r), Scale(texel.g, shade.g), Scale(texel.b, shade.b),
                              Scale(texel.a, shade.a)};
            target.Set(x, y, Blend(target.At(x, y), source));
        }
    }
}

} // namespace

void Rasterise(Image& target, const Texture* texture, std::uint32_t kind, const ScreenVertex* vertices,
               std::uint32_t count) {
    if (vertices == nullptr || count < 3) {
        return;
    }
    if (kind == kTriangleStrip) {
        for (std::uint32_t i = 0; i + 2 < count; ++i) {
            DrawTriangle(target, texture, vertices[i], vertices[i + 1], vertices[i + 2]);
        }
    } else if (kind == kTriangleFan) {
        for (std::uint32_t i = 1; i + 1 < count; ++i) {
            DrawTriangle(target, texture, vertices[0], vertices[i], vertices[i + 1]);
        }
    }
}

std::uint32_t PackVertexColour(const HostColour& colour) {
    return static_cast<std::uint32_t>(colour.alpha) << 24 | static_cast<std::uint32_t>(colour.red) << 16 |
           static_cast<std::uint32_t>(colour.green) << 8 | colour.blue;
}

Rgba UnpackVertexColour(std::uint32_t colour) {
    return {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
            static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 24)};
}

Rgba Blend(Rgba background, Rgba colour) {
    const auto over = [&](std::uint8_t under, std::uint8_t top) {
        return static_cast<std::uint8_t>((top * colour.a + under * (255 - colour.a) + 127) / 255);
    };
    return {
        over(background.r, colour.r), over(background.g, colour.g), over(background.b, colour.b),
        static_cast<std::uint8_t>(colour.a + Scale(background.a, static_cast<std::uint8_t>(255 - colour.a)))};
}

Image Crop(const Image& image, int x, int y, int width, int height) {
    const int left = std::clamp(x, 0, image.width);
    const int top = std::clamp(y, 0, image.height);
    const int right = std::clamp(x + width, left, image.width);
    const int bottom = std::clamp(y + height, top, image.height);
    Image part = Image::Filled(right - left, bottom - top, {});
    for (int row = top; row < bottom; ++row) {
        for (int column = left; column < right; ++column) {
            part.Set(column - left, row - top, image.At(column, row));
        }
    }
    return part;
}

} // namespace standin
