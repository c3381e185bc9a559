#pragma once
// Shared by the dial tests: a scope that starts from the stand-in host's defaults and puts
// the host, the angle tables and the dial texture back on exit, and small readers of the
// call log.
#include "speedometer/DialResources.hpp"
#include "speedometer/ScreenGeometry.hpp"
#include "standin/HostFunctions.hpp"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace dial_test {

class HostScope {
public:
    HostScope() : cos_(CosTable), sin_(SinTable), texture_(DialTexture) {
        standin::ResetHostState();
        FillAngleTables();
    }
    ~HostScope() {
        DialTexture = texture_;
        CosTable = cos_;
        SinTable = sin_;
        standin::ResetHostState();
    }
    HostScope(const HostScope&) = delete;
    HostScope& operator=(const HostScope&) = delete;

private:
    std::array<float, 360> cos_;
    std::array<float, 360> sin_;
    void* texture_;
};

inline std::vector<const standin::HostCall*> CallsTo(standin::HostFunction function) {
    std::vector<const standin::HostCall*> found;
    for (const standin::HostCall& call : standin::HostCalls()) {
        if (call.function == function) {
            found.push_back(&call);
        }
    }
    return found;
}

// The rectangle a HostMakeRect call was given.
inline ScreenRect RectOf(const standin::HostCall& makeRect) {
    return {makeRect.Float(1), makeRect.Float(2), makeRect.Float(3), makeRect.Float(4)};
}

// The atlas rectangle, in texels, of a HostSetQuadVertices call (top left and bottom right).
inline AtlasRect AtlasOf(const standin::HostCall& setQuad) {
    return {setQuad.Float(5) * 1024.0f, setQuad.Float(6) * 512.0f, setQuad.Float(11) * 1024.0f,
            setQuad.Float(12) * 512.0f};
}

// Names a parameterised case by its `name` field.
struct CaseName {
    template <typename Param>
    std::string operator()(const testing::TestParamInfo<Param>& param) const {
        return param.param.name;
    }
};

// p turned clockwise on screen about pivot by whole degrees, in exact arithmetic.
inline ScreenPoint Turned(ScreenPoint p, ScreenPoint pivot, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    const double dx = p.x - pivot.x;
    const double dy = p.y - pivot.y;
    return {static_cast<float>(pivot.x + dx * std::cos(a) - dy * std::sin(a)),
            static_cast<float>(pivot.y + dx * std::sin(a) + dy * std::cos(a))};
}

// Expects the four corners of rect (in the stand-in's order: top left, top right, bottom
// right, bottom left) turned about pivot by `degrees`.
inline void ExpectTurnedQuad(std::span<const ScreenVertex> quad, const ScreenRect& rect, ScreenPoint pivot,
                             double degrees) {
    ASSERT_EQ(quad.size(), 4U);
    const std::array<ScreenPoint, 4> corners{
        {{rect.left, rect.top}, {rect.right, rect.top}, {rect.right, rect.bottom}, {rect.left, rect.bottom}}};
    for (std::size_t i = 0; i < 4; ++i) {
        const ScreenPoint expected = Turned(corners[i], pivot, degrees);
        EXPECT_NEAR(quad[i].x, expected.x, 1e-3) << "corner " << i << " turned by " << degrees;
        EXPECT_NEAR(quad[i].y, expected.y, 1e-3) << "corner " << i << " turned by " << degrees;
    }
}

} // namespace dial_test

inline std::ostream& operator<<(std::ostream& out, const ScreenRect& r) {
    return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}
inline std::ostream& operator<<(std::ostream& out, const AtlasRect& r) {
    return out << "texels (" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}
