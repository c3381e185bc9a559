#pragma once
// The host's own functions, variables and records that the overlay uses, at their
// fixed addresses in the host's preferred image. Everything here is used untranslated;
// the few host references that are translated at load live in HostReferences.hpp.
// This file is the whole host surface: no other file names a host address of this kind.
#include "host/HostAddress.hpp"
#include "host/HostReferences.hpp"

#include <cstddef>
#include <cstdint>

// One vertex of the host's screen-space vertex buffers.
struct ScreenVertex {
    float x;
    float y;
    float z;
    float rhw;
    std::uint32_t colour;
    float u;
    float v;
};
static_assert(sizeof(ScreenVertex) == 28);
static_assert(offsetof(ScreenVertex, rhw) == 12);
static_assert(offsetof(ScreenVertex, colour) == 16);
static_assert(offsetof(ScreenVertex, u) == 20);
static_assert(offsetof(ScreenVertex, v) == 24);

// A host rectangle. The plugin never reads or writes it; only HostMakeRect fills it.
struct HostRect {
    float fields[4];
};
static_assert(sizeof(HostRect) == 16);

// A host colour: three colour bytes, then alpha, in memory order.
struct HostColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    std::uint8_t alpha;
};
static_assert(sizeof(HostColour) == 4);
static_assert(offsetof(HostColour, alpha) == 3);

namespace host {

// Function addresses.
inline constexpr HostAddress kGetPlayerVehicle = 0x56E0D0;
inline constexpr HostAddress kGetVehicleSpeed = 0x4082C0;
inline constexpr HostAddress kGetDictionaryTexture = 0x734940;
inline constexpr HostAddress kReleaseTextureDictionary = 0x7F36A0;
inline constexpr HostAddress kMakeRect = 0x4041C0;
inline constexpr HostAddress kSetQuadVertices = 0x727710;
inline constexpr HostAddress kDrawPrimitive = 0x734E90;
inline constexpr HostAddress kDrawTextA = 0x71A820;
inline constexpr HostAddress kDrawTextB = 0x71A700;

// Variable addresses.
inline constexpr HostAddress kRenderDeviceTable = 0xC97B24; // pointer to a table of device functions
inline constexpr std::size_t kSetRenderStateSlot = 0x20;    // byte offset of the render-state function
inline constexpr HostAddress kScreenWidth = 0xC17044;
inline constexpr HostAddress kScreenHeight = 0xC17048;
inline constexpr HostAddress kQuadVertices = 0xC80468;
inline constexpr HostAddress kDialGateOpenByte = 0xBA6769;   // must be non-zero
inline constexpr HostAddress kDialGateModeByte = 0xA43088;   // must not be 1
inline constexpr HostAddress kDialGateClosedByte = 0xC8A7C1; // must be 0
inline constexpr std::size_t kGateStructByteOffset = 0x3D;   // in the structure at ref 0xB6F028; must be 0

// Vehicle record offsets.
inline constexpr std::size_t kVehicleSpeedObject = 0x44;
inline constexpr std::size_t kVehicleGear = 0x4B4;
inline constexpr std::size_t kVehicleType = 0x594;

// Render state that binds a texture.
inline constexpr std::uint32_t kRenderStateTexture = 1;

// Primitive kinds.
inline constexpr std::uint32_t kPrimitiveTriangleStrip = 4;
inline constexpr std::uint32_t kPrimitiveQuad = 5;

// One alias per host signature. GCC warns that thiscall is meant for member functions,
// but it applies it to plain function types too: the object goes in ECX and the callee
// removes the stack arguments, as the host's member functions expect.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
#endif
using HostGetPlayerVehicleFn = void*(__cdecl*)(std::int32_t, std::int32_t);
using HostGetVehicleSpeedFn = float(__thiscall*)(void* speedObject);
using HostLoadTextureDictionaryFn = std::uint32_t(__cdecl*)(const char* path);
using HostGetDictionaryTextureFn = void*(__cdecl*)(std::uint32_t dictionary);
using HostReleaseTextureDictionaryFn = std::uint32_t(__cdecl*)(std::uint32_t dictionary);
using HostSetRenderStateFn = std::uint32_t(__cdecl*)(std::uint32_t state, std::uint32_t value);
using HostMakeRectFn = HostRect*(__thiscall*)(HostRect* self, float left, float top, float right,
                                              float bottom);
using HostSetQuadVerticesFn = void(__cdecl*)(const HostRect* rect, const HostColour* topLeft,
                                             const HostColour* topRight, const HostColour* bottomLeft,
                                             const HostColour* bottomRight, float uTopLeft, float vTopLeft,
                                             float uTopRight, float vTopRight, float uBottomLeft,
                                             float vBottomLeft, float uBottomRight, float vBottomRight);
using HostDrawPrimitiveFn = std::uint32_t(__cdecl*)(std::uint32_t kind, ScreenVertex* vertices,
                                                    std::uint32_t count);
using HostDrawTextFn = std::uint32_t(__cdecl*)(float x, float y, std::uint32_t third);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

template <typename T>
T* At(std::uintptr_t address) {
    return reinterpret_cast<T*>(address);
}

template <typename Fn>
Fn FunctionAt(std::uintptr_t address) {
    return reinterpret_cast<Fn>(address);
}

} // namespace host

inline void* HostGetPlayerVehicle(std::int32_t a, std::int32_t b) {
    return host::FunctionAt<host::HostGetPlayerVehicleFn>(host::kGetPlayerVehicle)(a, b);
}

// Called on the vehicle record's speed object (the record + 0x44).
inline float HostGetVehicleSpeed(void* speedObject) {
    return host::FunctionAt<host::HostGetVehicleSpeedFn>(host::kGetVehicleSpeed)(speedObject);
}

// Through the translated slot of the load-time host reference.
std::uint32_t HostLoadTextureDictionary(const char* path);

inline void* HostGetDictionaryTexture(std::uint32_t dictionary) {
    return host::FunctionAt<host::HostGetDictionaryTextureFn>(host::kGetDictionaryTexture)(dictionary);
}

inline std::uint32_t HostReleaseTextureDictionary(std::uint32_t dictionary) {
    return host::FunctionAt<host::HostReleaseTextureDictionaryFn>(host::kReleaseTextureDictionary)(
        dictionary);
}

// The render-state function sits in the table that the pointer at 0xC97B24 points to.
inline std::uint32_t HostSetRenderState(std::uint32_t state, std::uint32_t value) {
    const std::uintptr_t table = *host::At<const std::uintptr_t>(host::kRenderDeviceTable);
    const auto function =
        *reinterpret_cast<const host::HostSetRenderStateFn*>(table + host::kSetRenderStateSlot);
    return function(state, value);
}

inline HostRect* HostMakeRect(HostRect* rect, float left, float top, float right, float bottom) {
    return host::FunctionAt<host::HostMakeRectFn>(host::kMakeRect)(rect, left, top, right, bottom);
}

inline void HostSetQuadVertices(const HostRect* rect, const HostColour* topLeft, const HostColour* topRight,
                                const HostColour* bottomLeft, const HostColour* bottomRight, float uTopLeft,
                                float vTopLeft, float uTopRight, float vTopRight, float uBottomLeft,
                                float vBottomLeft, float uBottomRight, float vBottomRight) {
    host::FunctionAt<host::HostSetQuadVerticesFn>(host::kSetQuadVertices)(
        rect, topLeft, topRight, bottomLeft, bottomRight, uTopLeft, vTopLeft, uTopRight, vTopRight,
        uBottomLeft, vBottomLeft, uBottomRight, vBottomRight);
}

inline std::uint32_t HostDrawPrimitive(std::uint32_t kind, ScreenVertex* vertices, std::uint32_t count) {
    return host::FunctionAt<host::HostDrawPrimitiveFn>(host::kDrawPrimitive)(kind, vertices, count);
}

inline std::uint32_t HostDrawTextA(float x, float y, std::uint32_t third) {
    return host::FunctionAt<host::HostDrawTextFn>(host::kDrawTextA)(x, y, third);
}

inline std::uint32_t HostDrawTextB(float x, float y, std::uint32_t third) {
    return host::FunctionAt<host::HostDrawTextFn>(host::kDrawTextB)(x, y, third);
}

inline std::int32_t HostScreenWidth() {
    return *host::At<const volatile std::int32_t>(host::kScreenWidth);
}
inline std::int32_t HostScreenHeight() {
    return *host::At<const volatile std::int32_t>(host::kScreenHeight);
}
inline ScreenVertex* HostQuadVertices() {
    return host::At<ScreenVertex>(host::kQuadVertices);
}
inline std::uint8_t HostByteAt(std::uintptr_t address) {
    return *host::At<const volatile std::uint8_t>(address);
}

// The gate byte at the translated host reference of 0xA444A0.
inline std::uint8_t HostDialGateReferencedByte() {
    return HostByteAt(DialGateByteReference.translated);
}

// The gate byte inside the structure at the translated host reference of 0xB6F028: the
// reference slot holds the structure's own address, so no pointer is read from it.
inline std::uint8_t HostDialGateStructByte() {
    return HostByteAt(DialGateStructReference.translated + host::kGateStructByteOffset);
}

// The vehicle record's type, gear and speed object.
inline std::int32_t HostVehicleType(const void* vehicle) {
    return *reinterpret_cast<const volatile std::int32_t*>(static_cast<const std::uint8_t*>(vehicle) +
                                                           host::kVehicleType);
}
inline std::uint8_t HostVehicleGear(const void* vehicle) {
    return *(static_cast<const volatile std::uint8_t*>(vehicle) + host::kVehicleGear);
}
inline void* HostVehicleSpeedObject(void* vehicle) {
    return static_cast<std::uint8_t*>(vehicle) + host::kVehicleSpeedObject;
}

// The value a host texture record is bound with: its first 32-bit field.
inline std::uint32_t HostTextureBindValue(const void* texture) {
    return *static_cast<const volatile std::uint32_t*>(texture);
}
