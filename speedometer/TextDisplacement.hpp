#pragma once
// Two host HUD text draws are moved left, clear of the dial, while the player's
// vehicle is one that shows the dial.
#include <cstdint>

// Called by the host in place of its text draws (cdecl): x moves left by 355 reference
// units for a dial vehicle; y, the third argument and the result pass through untouched.
std::uint32_t DrawTextShiftedA(float x, float y, std::uint32_t third);
std::uint32_t DrawTextShiftedB(float x, float y, std::uint32_t third);

// Redirects the host's two text-draw calls to the replacements; done at every init.
// The original calls are put back when the library is unloaded.
void InstallTextDisplacement();
