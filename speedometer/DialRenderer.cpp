#include "speedometer/DialRenderer.hpp"

#include "host/HostGame.hpp"
#include "speedometer/DialLayout.hpp"
#include "speedometer/DialResources.hpp"
#include "speedometer/SpriteQuads.hpp"

namespace {

// Tested in this order; a closed gate ends the tests.
bool DialGatesOpen() {
    return HostByteAt(host::kDialGateOpenByte) != 0 && HostByteAt(host::kDialGateModeByte) != 1 &&
           HostByteAt(host::kDialGateClosedByte) == 0 && HostDialGateReferencedByte() != 0 &&
           HostDialGateStructByte() == 0;
}

void DrawLayer(const ScreenRect& screen, const HostColour& colour, const AtlasRect& atlas) {
    DrawAtlasQuad(screen.left, screen.top, screen.right, screen.bottom, colour, atlas);
}

} // namespace

bool IsDialVehicle(const void* vehicle) {
    return vehicle != nullptr && IsDialVehicleType(HostVehicleType(vehicle));
}

void DrawSpeedometer() {
    void* vehicle = HostGetPlayerVehicle(-1, 1);
    if (!IsDialVehicle(vehicle) || !DialGatesOpen()) {
        return;
    }
    // Without artwork there is no texture record to bind: draw nothing.
    if (DialTexture == nullptr) {
        return;
    }
    const float rawSpeed = HostGetVehicleSpeed(HostVehicleSpeedObject(vehicle));
    const float needleSpeed = NeedleSpeed(rawSpeed);
    const std::uint32_t readout = ReadoutNumber(rawSpeed);

    HostSetRenderState(host::kRenderStateTexture, HostTextureBindValue(DialTexture));

    // Each layer reads the screen size afresh.
    DrawLayer(DialFaceRect(HostScreenSize()), kDialWhite, kDialFaceAtlas);

    if (ShowsSpeedBand(needleSpeed)) {
        const ScreenSize screen = HostScreenSize();
        const ScreenPoint centre = DialCentre(screen);
        const float radius = SpeedBandRadius(screen);
        DrawTexturedSector(kAtlasWidth, kAtlasHeight, kSpeedBandAtlas.left, kSpeedBandAtlas.top,
                           kSpeedBandAtlas.right - kSpeedBandAtlas.left,
                           kSpeedBandAtlas.bottom - kSpeedBandAtlas.top, centre.x, centre.y, radius, radius,
                           kBandStartAngle, SpeedBandEndAngle(needleSpeed));
    }

    {
        const ScreenSize screen = HostScreenSize();
        SetAtlasQuad(NeedleRect(screen), kDialWhite, kNeedleAtlas);
        const ScreenPoint pivot = DialCentre(screen);
        RotateHostQuad(pivot.x, pivot.y, NeedleTurn(needleSpeed));
        DrawHostQuad();
    }

    DrawLayer(HubRect(HostScreenSize()), kDialWhite, kHubAtlas);

    const std::uint8_t gear = HostVehicleGear(vehicle);
    const HostColour gearColour = GearColour(gear);
    DrawLayer(GearBadgeRect(HostScreenSize()), gearColour, kGearBadgeAtlas);
    DrawLayer(GearGlyphRect(HostScreenSize()), gearColour, GearGlyphCell(gear));

    const auto digits = ReadoutDigits(readout);
    for (unsigned place = 0; place < digits.size(); ++place) {
        const ScreenRect cell = ReadoutDigitRect(HostScreenSize(), place);
        DrawDigitCell(digits[place].digit, digits[place].alpha, cell.left, cell.top, cell.right - cell.left,
                      cell.bottom - cell.top);
    }

    HostSetRenderState(host::kRenderStateTexture, 0);
}
