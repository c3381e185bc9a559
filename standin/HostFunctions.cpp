#include "standin/HostFunctions.hpp"

#include "standin/HostCallSites.hpp"
#include "standin/Rasteriser.hpp"
#include "standin/TestAtlas.hpp"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <deque>
#include <initializer_list>

namespace standin {
namespace {

// The host's side of the interface, written down here on its own so that the stand-in
// does not simply mirror what the plugin believes.
constexpr Address kGetPlayerVehicleAt = 0x56E0D0;
constexpr Address kGetVehicleSpeedAt = 0x4082C0;
constexpr Address kLoadTextureDictionaryAt = 0x5B3860; // reached through a host reference
constexpr Address kGetDictionaryTextureAt = 0x734940;
constexpr Address kReleaseTextureDictionaryAt = 0x7F36A0;
constexpr Address kMakeRectAt = 0x4041C0;
constexpr Address kSetQuadVerticesAt = 0x727710;
constexpr Address kDrawPrimitiveAt = 0x734E90;
constexpr Address kDrawTextAAt = 0x71A820;
constexpr Address kDrawTextBAt = 0x71A700;

constexpr Address kRenderDevicePointerAt = 0xC97B24;
constexpr std::size_t kRenderStateSlot = 0x20 / sizeof(std::uint32_t);
constexpr Address kScreenWidthAt = 0xC17044;
constexpr Address kScreenHeightAt = 0xC17048;
constexpr Address kQuadVerticesAt = 0xC80468;
constexpr Address kGateOpenAt = 0xBA6769;
constexpr Address kGateModeAt = 0xA43088;
constexpr Address kGateClosedAt = 0xC8A7C1;
constexpr Address kGateByteReferenceAt = 0xA444A0;   // reached through a host reference
constexpr Address kGateStructReferenceAt = 0xB6F028; // reached through a host reference
constexpr std::size_t kGateStructByte = 0x3D;

constexpr std::size_t kVehicleSpeedObject = 0x44;
constexpr std::size_t kVehicleGear = 0x4B4;
constexpr std::size_t kVehicleType = 0x594;
constexpr std::size_t kVehicleRecordSize = 0x600;

constexpr std::uint32_t kFirstDictionaryHandle = 0x7D000001;
constexpr std::uint32_t kFirstBindValue = 0x7E000001;

template <typename T>
T& Variable(Address address) {
    return *reinterpret_cast<T*>(static_cast<std::uintptr_t>(address));
}

std::uint32_t AddressOf(const void* p) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

struct State {
    std::deque<Dictionary> dictionaries; // a deque keeps FindDictionary's pointers valid
    TextureLoader loader;
    std::uint32_t boundTexture = 0;
    bool capturing = false;
    Image frame;
};

State& TheState() {
    static State state;
    return state;
}

alignas(16) std::array<std::uint8_t, kVehicleRecordSize> vehicleRecord{};
bool vehiclePresent = false;
std::array<std::uintptr_t, 32> renderDevice{};

// The call log: fixed storage, so that logging allocates nothing while the plugin draws.
constexpr std::size_t kCallCapacity = 1024;
constexpr std::size_t kVertexCapacity = 16384;
std::array<HostCall, kCallCapacity> calls{};
std::size_t callCount = 0;
std::array<ScreenVertex, kVertexCapacity> loggedVertices{};
std::size_t loggedVertexCount = 0;
bool overflowed = false;
bool logging = true;

HostCall* Log(HostFunction function, std::initializer_list<std::uint32_t> arguments) {
    if (!logging) {
        return nullptr;
    }
    if (callCount == calls.size()) {
        overflowed = true;
        return nullptr;
    }
    HostCall& call = calls[callCount++];
    call = HostCall{};
    call.function = function;
    call.argumentCount = static_cast<std::uint32_t>(arguments.size());
    std::copy(arguments.begin(), arguments.end(), call.arguments.begin());
    return &call;
}

std::uint32_t Bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}
std::uint32_t Bits(std::int32_t value) {
    return std::bit_cast<std::uint32_t>(value);
}

const Texture* TextureBoundTo(std::uint32_t value) {
    if (value == 0) {
        return nullptr;
    }
    for (const Dictionary& dictionary : TheState().dictionaries) {
        if (dictionary.texture != nullptr && dictionary.texture->bindValue == value) {
            return dictionary.texture.get();
        }
    }
    return nullptr;
}

// The host functions. Their conventions are checked against the plugin's aliases below.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
#endif

void* __cdecl GetPlayerVehicle(std::int32_t a, std::int32_t b) {
    Log(HostFunction::GetPlayerVehicle, {Bits(a), Bits(b)});
    return vehiclePresent ? vehicleRecord.data() : nullptr;
}

// The stand-in keeps the speed as the speed object's first field.
float __thiscall GetVehicleSpeed(void* speedObject) {
    Log(HostFunction::GetVehicleSpeed, {AddressOf(speedObject)});
    float speed = 0.0f;
    std::memcpy(&speed, speedObject, sizeof speed);
    return speed;
}

std::uint32_t __cdecl LoadTextureDictionary(const char* path) {
    if (HostCall* call = Log(HostFunction::LoadTextureDictionary, {AddressOf(path)})) {
        std::snprintf(call->path.data(), call->path.size(), "%s", path != nullptr ? path : "");
    }
    State& state = TheState();
    std::unique_ptr<Texture> texture =
        state.loader ? state.loader(path != nullptr ? path : "") : MakeTestAtlas();
    if (texture == nullptr) {
        return 0;
    }
    const auto index = static_cast<std::uint32_t>(state.dictionaries.size());
    texture->bindValue = kFirstBindValue + index;
    Dictionary& dictionary = state.dictionaries.emplace_back();
    dictionary.handle = kFirstDictionaryHandle + index;
    dictionary.path = path != nullptr ? path : "";
    dictionary.texture = std::move(texture);
    return dictionary.handle;
}

void* __cdecl GetDictionaryTexture(std::uint32_t handle) {
    Log(HostFunction::GetDictionaryTexture, {handle});
    const Dictionary* dictionary = FindDictionary(handle);
    return dictionary != nullptr ? dictionary->texture.get() : nullptr;
}

std::uint32_t __cdecl ReleaseTextureDictionary(std::uint32_t handle) {
    Log(HostFunction::ReleaseTextureDictionary, {handle});
    auto* dictionary = const_cast<Dictionary*>(FindDictionary(handle));
    if (dictionary == nullptr || dictionary->released) {
        return 0;
    }
    dictionary->released = true;
    return 1;
}

std::uint32_t __cdecl SetRenderState(std::uint32_t state, std::uint32_t value) {
    Log(HostFunction::SetRenderState, {state, value});
    if (state == 1) {
        TheState().boundTexture = value;
    }
    return 0;
}

// The stand-in's rectangle is left, top, right, bottom.
HostRect* __thiscall MakeRect(HostRect* self, float left, float top, float right, float bottom) {
    Log(HostFunction::MakeRect, {AddressOf(self), Bits(left), Bits(top), Bits(right), Bits(bottom)});
    *self = HostRect{{left, top, right, bottom}};
    return self;
}

// Writes the corners around the rectangle (top left, top right, bottom right, bottom left),
// so that the four vertices drawn as one triangle fan cover it.
void __cdecl SetQuadVertices(const HostRect* rect, const HostColour* topLeft, const HostColour* topRight,
                             const HostColour* bottomLeft, const HostColour* bottomRight, float uTopLeft,
                             float vTopLeft, float uTopRight, float vTopRight, float uBottomLeft,
                             float vBottomLeft, float uBottomRight, float vBottomRight) {
    if (HostCall* call =
            Log(HostFunction::SetQuadVertices,
                {AddressOf(rect), AddressOf(topLeft), AddressOf(topRight), AddressOf(bottomLeft),
                 AddressOf(bottomRight), Bits(uTopLeft), Bits(vTopLeft), Bits(uTopRight), Bits(vTopRight),
                 Bits(uBottomLeft), Bits(vBottomLeft), Bits(uBottomRight), Bits(vBottomRight)})) {
        call->colours = {*topLeft, *topRight, *bottomLeft, *bottomRight};
    }
    const float left = rect->fields[0];
    const float top = rect->fields[1];
    const float right = rect->fields[2];
    const float bottom = rect->fields[3];
    const auto vertex = [](float x, float y, const HostColour* colour, float u, float v) {
        return ScreenVertex{x, y, 0.0f, 1.0f, PackVertexColour(*colour), u, v};
    };
    ScreenVertex* quad = &Variable<ScreenVertex>(kQuadVerticesAt);
    quad[0] = vertex(left, top, topLeft, uTopLeft, vTopLeft);
    quad[1] = vertex(right, top, topRight, uTopRight, vTopRight);
    quad[2] = vertex(right, bottom, bottomRight, uBottomRight, vBottomRight);
    quad[3] = vertex(left, bottom, bottomLeft, uBottomLeft, vBottomLeft);
}

std::uint32_t __cdecl DrawPrimitive(std::uint32_t kind, ScreenVertex* vertices, std::uint32_t count) {
    if (HostCall* call = Log(HostFunction::DrawPrimitive, {kind, AddressOf(vertices), count})) {
        const std::size_t room = loggedVertices.size() - loggedVertexCount;
        const std::size_t kept = std::min<std::size_t>(count, room);
        if (kept < count) {
            overflowed = true;
        }
        if (vertices != nullptr) {
            std::copy_n(vertices, kept,
                        loggedVertices.begin() + static_cast<std::ptrdiff_t>(loggedVertexCount));
        }
        call->firstVertex = static_cast<std::uint32_t>(loggedVertexCount);
        call->vertexCount = vertices != nullptr ? static_cast<std::uint32_t>(kept) : 0;
        loggedVertexCount += call->vertexCount;
    }
    State& state = TheState();
    if (state.capturing) {
        Rasterise(state.frame, TextureBoundTo(state.boundTexture), kind, vertices, count);
    }
    return 0;
}

std::uint32_t __cdecl DrawTextA(float x, float y, std::uint32_t third) {
    Log(HostFunction::DrawTextA, {Bits(x), Bits(y), third});
    return kDrawTextATag | (third & 0x0FFFFFFF);
}

std::uint32_t __cdecl DrawTextB(float x, float y, std::uint32_t third) {
    Log(HostFunction::DrawTextB, {Bits(x), Bits(y), third});
    return kDrawTextBTag | (third & 0x0FFFFFFF);
}

// A mismatch between these and the plugin's host interface fails to compile.
constexpr host::HostGetPlayerVehicleFn kGetPlayerVehicle = &GetPlayerVehicle;
constexpr host::HostGetVehicleSpeedFn kGetVehicleSpeed = &GetVehicleSpeed;
constexpr host::HostLoadTextureDictionaryFn kLoadTextureDictionary = &LoadTextureDictionary;
constexpr host::HostGetDictionaryTextureFn kGetDictionaryTexture = &GetDictionaryTexture;
constexpr host::HostReleaseTextureDictionaryFn kReleaseTextureDictionary = &ReleaseTextureDictionary;
constexpr host::HostSetRenderStateFn kSetRenderState = &SetRenderState;
constexpr host::HostMakeRectFn kMakeRect = &MakeRect;
constexpr host::HostSetQuadVerticesFn kSetQuadVertices = &SetQuadVertices;
constexpr host::HostDrawPrimitiveFn kDrawPrimitive = &DrawPrimitive;
constexpr host::HostDrawTextFn kDrawTextA = &DrawTextA;
constexpr host::HostDrawTextFn kDrawTextB = &DrawTextB;

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

template <typename Fn>
void JumpTo(Address at, Fn function) {
    WriteJump(at, reinterpret_cast<const void*>(function));
}

void AppendFormat(std::string& out, const char* format, auto... values) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, values...);
    out += buffer;
}

} // namespace

void InstallHostFunctions() {
    JumpTo(kGetPlayerVehicleAt, kGetPlayerVehicle);
    JumpTo(kGetVehicleSpeedAt, kGetVehicleSpeed);
    JumpTo(StandInAddress(kLoadTextureDictionaryAt), kLoadTextureDictionary);
    JumpTo(kGetDictionaryTextureAt, kGetDictionaryTexture);
    JumpTo(kReleaseTextureDictionaryAt, kReleaseTextureDictionary);
    JumpTo(kMakeRectAt, kMakeRect);
    JumpTo(kSetQuadVerticesAt, kSetQuadVertices);
    JumpTo(kDrawPrimitiveAt, kDrawPrimitive);
    JumpTo(kDrawTextAAt, kDrawTextA);
    JumpTo(kDrawTextBAt, kDrawTextB);
    renderDevice[kRenderStateSlot] = reinterpret_cast<std::uintptr_t>(kSetRenderState);
    Variable<std::uint32_t>(kRenderDevicePointerAt) = AddressOf(renderDevice.data());
    InstallHostCallSites();
    ResetHostState();
}

void PrepareHost(std::uint32_t build) {
    WriteSignature(build);
    InstallHostFunctions();
    ProtectHostCode();
}

void ResetHostState() {
    SetScreenSize(1920, 1080);
    SetNoPlayerVehicle();
    vehicleRecord.fill(0);
    SetDialGates({});
    std::fill_n(&Variable<ScreenVertex>(kQuadVerticesAt), 4, ScreenVertex{});
    State& state = TheState();
    state.dictionaries.clear();
    state.loader = nullptr;
    state.boundTexture = 0;
    StopFrameCapture();
    ClearCallLog();
    SetCallLogging(true);
}

void SetScreenSize(std::int32_t width, std::int32_t height) {
    Variable<std::int32_t>(kScreenWidthAt) = width;
    Variable<std::int32_t>(kScreenHeightAt) = height;
}

void SetPlayerVehicle(const VehicleState& vehicle) {
    std::memcpy(&vehicleRecord[kVehicleType], &vehicle.type, sizeof vehicle.type);
    vehicleRecord[kVehicleGear] = vehicle.gear;
    std::memcpy(&vehicleRecord[kVehicleSpeedObject], &vehicle.speed, sizeof vehicle.speed);
    vehiclePresent = true;
}

void SetNoPlayerVehicle() {
    vehiclePresent = false;
}

std::uint32_t VehicleRecordAddress() {
    return AddressOf(vehicleRecord.data());
}

void SetDialGates(const DialGates& gates) {
    Variable<std::uint8_t>(kGateOpenAt) = gates.openByte;
    Variable<std::uint8_t>(kGateModeAt) = gates.modeByte;
    Variable<std::uint8_t>(kGateClosedAt) = gates.closedByte;
    Variable<std::uint8_t>(StandInAddress(kGateByteReferenceAt)) = gates.referencedByte;
    Variable<std::uint8_t>(StandInAddress(kGateStructReferenceAt) + kGateStructByte) = gates.structByte;
}

void SetTextureLoader(TextureLoader loader) {
    TheState().loader = std::move(loader);
}

const Dictionary* FindDictionary(std::uint32_t handle) {
    for (const Dictionary& dictionary : TheState().dictionaries) {
        if (dictionary.handle == handle) {
            return &dictionary;
        }
    }
    return nullptr;
}

std::uint32_t BoundTextureValue() {
    return TheState().boundTexture;
}
void SetBoundTextureValue(std::uint32_t value) {
    TheState().boundTexture = value;
}
const Texture* BoundTexture() {
    return TextureBoundTo(TheState().boundTexture);
}

const char* FunctionName(HostFunction function) {
    switch (function) {
    case HostFunction::GetPlayerVehicle:
        return "HostGetPlayerVehicle";
    case HostFunction::GetVehicleSpeed:
        return "HostGetVehicleSpeed";
    case HostFunction::LoadTextureDictionary:
        return "HostLoadTextureDictionary";
    case HostFunction::GetDictionaryTexture:
        return "HostGetDictionaryTexture";
    case HostFunction::ReleaseTextureDictionary:
        return "HostReleaseTextureDictionary";
    case HostFunction::SetRenderState:
        return "HostSetRenderState";
    case HostFunction::MakeRect:
        return "HostMakeRect";
    case HostFunction::SetQuadVertices:
        return "HostSetQuadVertices";
    case HostFunction::DrawPrimitive:
        return "HostDrawPrimitive";
    case HostFunction::DrawTextA:
        return "HostDrawTextA";
    case HostFunction::DrawTextB:
        return "HostDrawTextB";
    case HostFunction::InitCall:
        return "HostInit";
    case HostFunction::FrameCall:
        return "HostFrame";
    case HostFunction::ShutdownCall:
        return "HostShutdown";
    }
    return "?";
}

std::int32_t HostCall::Int(std::size_t i) const {
    return std::bit_cast<std::int32_t>(arguments[i]);
}
float HostCall::Float(std::size_t i) const {
    return std::bit_cast<float>(arguments[i]);
}

void RecordHostCall(HostFunction function) {
    Log(function, {});
}

std::span<const HostCall> HostCalls() {
    return {calls.data(), callCount};
}

void ClearCallLog() {
    callCount = 0;
    loggedVertexCount = 0;
    overflowed = false;
}

bool CallLogOverflowed() {
    return overflowed;
}

void SetCallLogging(bool on) {
    logging = on;
}

std::span<const ScreenVertex> DrawnVertices(const HostCall& call) {
    return {loggedVertices.data() + call.firstVertex, call.vertexCount};
}

std::string Describe(const HostCall& call) {
    // Argument kinds per function: i int, u unsigned, x hex, p address, f float, c colour, s path.
    const char* kinds = "";
    switch (call.function) {
    case HostFunction::GetPlayerVehicle:
        kinds = "ii";
        break;
    case HostFunction::GetVehicleSpeed:
        kinds = "p";
        break;
    case HostFunction::LoadTextureDictionary:
        kinds = "s";
        break;
    case HostFunction::GetDictionaryTexture:
    case HostFunction::ReleaseTextureDictionary:
        kinds = "x";
        break;
    case HostFunction::SetRenderState:
        kinds = "ux";
        break;
    case HostFunction::MakeRect:
        kinds = "pffff";
        break;
    case HostFunction::SetQuadVertices:
        kinds = "pccccffffffff";
        break;
    case HostFunction::DrawPrimitive:
        kinds = "upu";
        break;
    case HostFunction::DrawTextA:
    case HostFunction::DrawTextB:
        kinds = "ffx";
        break;
    case HostFunction::InitCall:
    case HostFunction::FrameCall:
    case HostFunction::ShutdownCall:
        break;
    }
    std::string out = FunctionName(call.function);
    out += '(';
    for (std::size_t i = 0; i < call.argumentCount && kinds[i] != '\0'; ++i) {
        if (i > 0) {
            out += ", ";
        }
        switch (kinds[i]) {
        case 'i':
            AppendFormat(out, "%ld", static_cast<long>(call.Int(i)));
            break;
        case 'u':
            AppendFormat(out, "%lu", static_cast<unsigned long>(call.Word(i)));
            break;
        case 'x':
            AppendFormat(out, call.Word(i) == 0 ? "0" : "0x%lx", static_cast<unsigned long>(call.Word(i)));
            break;
        case 'p':
            AppendFormat(out, "@%08lx", static_cast<unsigned long>(call.Word(i)));
            break;
        case 'f':
            AppendFormat(out, "%.9g", static_cast<double>(call.Float(i)));
            break;
        case 'c': {
            const HostColour& c = call.colours[i - 1];
            AppendFormat(out, "rgba(%u,%u,%u,%u)", unsigned{c.red}, unsigned{c.green}, unsigned{c.blue},
                         unsigned{c.alpha});
            break;
        }
        case 's':
            out += '"';
            out += call.path.data();
            out += '"';
            break;
        default:
            break;
        }
    }
    out += ')';
    return out;
}

std::string CallRecord() {
    std::string record;
    for (const HostCall& call : HostCalls()) {
        if (!record.empty()) {
            record += ' ';
        }
        record += FunctionName(call.function);
        if (call.function == HostFunction::DrawPrimitive) {
            AppendFormat(record, "(%lu)", static_cast<unsigned long>(call.Word(0)));
        }
    }
    return record;
}

void StartFrameCapture(Rgba background) {
    State& state = TheState();
    const std::int32_t width = Variable<std::int32_t>(kScreenWidthAt);
    const std::int32_t height = Variable<std::int32_t>(kScreenHeightAt);
    state.frame = width > 0 && height > 0 ? Image::Filled(width, height, background) : Image{};
    state.capturing = true;
}

void StopFrameCapture() {
    TheState().capturing = false;
}

const Image& CapturedFrame() {
    return TheState().frame;
}

} // namespace standin
