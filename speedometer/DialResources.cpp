#include "speedometer/DialResources.hpp"

#include "host/HostGame.hpp"
#include "host/PluginPaths.hpp"
#include "speedometer/ScreenGeometry.hpp"
#include "speedometer/TextDisplacement.hpp"

void* DialTexture = nullptr;
std::uint32_t DialDictionary = 0;

void LoadSpeedometerResources() {
    // A path too long to compose loads nothing, so nothing is drawn.
    if (const char* path = PluginFilePath(kDialDictionaryPath)) {
        DialDictionary = HostLoadTextureDictionary(path);
        // Without a dictionary or a texture the artwork counts as not loaded; handle 0 is
        // never handed to the host.
        DialTexture = DialDictionary != 0 ? HostGetDictionaryTexture(DialDictionary) : nullptr;
    }
    FillAngleTables();
    InstallTextDisplacement();
}

void ReleaseSpeedometerResources() {
    // Only a loaded dictionary goes back, and only once: never handle 0, never twice.
    if (DialDictionary != 0) {
        HostReleaseTextureDictionary(DialDictionary);
    }
    DialDictionary = 0;
    DialTexture = nullptr;
}
