#pragma once
// The dial's artwork: one texture atlas in a texture dictionary beside the plugin.
#include <cstdint>

// The host texture record the dial draws with; null while no artwork is loaded.
extern void* DialTexture;

// The host's handle of the loaded dictionary; 0 while none is loaded.
extern std::uint32_t DialDictionary;

inline constexpr const char* kDialDictionaryPath = "models\\speedometer.txd";

// Init handler: loads the dictionary and its texture, fills the angle tables and
// installs the text displacement.
void LoadSpeedometerResources();

// Shutdown handler: hands a loaded dictionary back to the host, once.
void ReleaseSpeedometerResources();
