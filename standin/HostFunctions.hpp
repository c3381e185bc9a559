#pragma once
// The stand-in's host functions and variables: every host function of the overlay's host
// interface is our own function behind an E9 jump at its fixed address, every host
// variable is settable, and every call is kept in a call log. Draws can be captured into a
// picture of the current screen size.
//
// Addresses: the functions and variables the overlay uses untranslated sit at their fixed
// addresses; those it reaches through load-time host references (the dictionary loader and
// the two gate variables) sit at their translated addresses, StandInAddress(...).
#include "host/HostGame.hpp"
#include "standin/HostImage.hpp"
#include "standin/Texture.hpp"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace standin {

// Writes the jumps to the stand-in's host functions, points the render device table at
// its render-state function and puts every host variable in its default state
// (ResetHostState). Host code must still be writable: call before ProtectHostCode.
void InstallHostFunctions();

// For programs that load the plugin file: signature, host functions, then protection.
void PrepareHost(std::uint32_t build);

// Back to the defaults: screen 1920 x 1080, no player vehicle, all dial gates open, no
// texture bound, no dictionaries, the test-atlas loader, empty call log, no capture.
void ResetHostState();

// HostScreenWidth and HostScreenHeight.
void SetScreenSize(std::int32_t width, std::int32_t height);

// The player's vehicle record, as HostGetPlayerVehicle hands it out.
struct VehicleState {
    std::int32_t type = 0;
    std::uint8_t gear = 1;
    float speed = 0.0f; // what HostGetVehicleSpeed returns for it
};
void SetPlayerVehicle(const VehicleState& vehicle);
void SetNoPlayerVehicle(); // HostGetPlayerVehicle returns null
// The address of the stand-in's vehicle record (whether or not it is handed out).
std::uint32_t VehicleRecordAddress();

// The five gate bytes the dial reads, with the values that let it draw.
struct DialGates {
    std::uint8_t openByte = 1;       // 0xBA6769, the dial needs non-zero
    std::uint8_t modeByte = 0;       // 0xA43088, the dial needs anything but 1
    std::uint8_t closedByte = 0;     // 0xC8A7C1, the dial needs 0
    std::uint8_t referencedByte = 1; // at the reference of 0xA444A0, the dial needs non-zero
    std::uint8_t structByte = 0;     // +0x3D in the structure at the reference of 0xB6F028, needs 0
};
void SetDialGates(const DialGates& gates);

// Maps a dictionary path to the texture it holds; null when it cannot be read.
using TextureLoader = std::function<std::unique_ptr<Texture>(const std::string& path)>;
// Replaces the loader HostLoadTextureDictionary uses; an empty loader restores the default,
// which hands out the test atlas for every path.
void SetTextureLoader(TextureLoader loader);

// Dictionaries loaded so far. Handles are non-zero; 0 means the load failed. A released
// dictionary keeps its texture alive until ResetHostState, so stale records stay readable.
struct Dictionary {
    std::uint32_t handle = 0;
    std::string path;
    std::unique_ptr<Texture> texture;
    bool released = false;
};
const Dictionary* FindDictionary(std::uint32_t handle);

// The value of render state 1 (the bound texture), and the texture it names.
std::uint32_t BoundTextureValue();
void SetBoundTextureValue(std::uint32_t value);
const Texture* BoundTexture();

// The fixed results of the two host text draws: a tag, then the third argument's low bits.
inline constexpr std::uint32_t kDrawTextATag = 0xA0000000;
inline constexpr std::uint32_t kDrawTextBTag = 0xB0000000;

// The call log.
enum class HostFunction : std::uint8_t {
    GetPlayerVehicle,
    GetVehicleSpeed,
    LoadTextureDictionary,
    GetDictionaryTexture,
    ReleaseTextureDictionary,
    SetRenderState,
    MakeRect,
    SetQuadVertices,
    DrawPrimitive,
    DrawTextA,
    DrawTextB,
    // The host's own functions behind the patched call sites (HostCallSites.hpp).
    InitCall,
    FrameCall,
    ShutdownCall,
};

// "HostGetPlayerVehicle", "HostSetRenderState", ...
const char* FunctionName(HostFunction function);

struct HostCall {
    HostFunction function{};
    std::uint32_t argumentCount = 0;
    // Every argument in order as its 32 bits: integers, addresses and float bit patterns.
    std::array<std::uint32_t, 13> arguments{};
    // HostSetQuadVertices: the four colours pointed to, in argument order.
    std::array<HostColour, 4> colours{};
    // HostLoadTextureDictionary: the path (cut to fit).
    std::array<char, 264> path{};
    // HostDrawPrimitive: where its copy of the vertices lies in the log's vertex store.
    std::uint32_t firstVertex = 0;
    std::uint32_t vertexCount = 0;

    std::uint32_t Word(std::size_t i) const { return arguments[i]; }
    std::int32_t Int(std::size_t i) const;
    float Float(std::size_t i) const;
};

// Logs a call that takes no arguments.
void RecordHostCall(HostFunction function);

// The calls since the last ClearCallLog, oldest first. The log is preallocated: logging
// allocates nothing; calls past its capacity are dropped and mark it overflowed.
std::span<const HostCall> HostCalls();
void ClearCallLog();
bool CallLogOverflowed();
// Logging is on by default and after ResetHostState. Off, the host functions keep no
// record at all, so that a benchmark times the plugin's own work and not the log's.
void SetCallLogging(bool on);
// The vertices a HostDrawPrimitive call was given, as they were at the call.
std::span<const ScreenVertex> DrawnVertices(const HostCall& call);
// One call as text, e.g. "HostSetRenderState(1, 0)".
std::string Describe(const HostCall& call);
// The function names of the log in order, separated by spaces; a draw adds its kind,
// e.g. "HostGetPlayerVehicle HostGetVehicleSpeed HostSetRenderState HostDrawPrimitive(5)".
std::string CallRecord();

// Frame capture: while on, every HostDrawPrimitive is also drawn into a picture of the
// screen size at the time capture started, over a plain background.
inline constexpr Rgba kFrameBackground{70, 90, 80, 255};
void StartFrameCapture(Rgba background = kFrameBackground);
void StopFrameCapture();
const Image& CapturedFrame();

} // namespace standin
