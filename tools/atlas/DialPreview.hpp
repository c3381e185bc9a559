#pragma once
// A rough software mock of the dial, composed from the atlas the way the overlay lays its
// layers out on a 1920 x 1080 screen, for judging the artwork by eye.
#include <cstdint>
#include <span>
#include <vector>

namespace atlas {

struct DialState {
    float rawSpeed = 0;
    int gear = 0;
};

struct PreviewImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows top to bottom, 3 bytes per pixel
};

// The screen's lower right corner, one panel per state side by side, each drawn `zoom` times
// enlarged; the background alternates between a dark and a bright scene.
PreviewImage ComposeDialPreview(std::span<const std::uint8_t> atlasRgba, std::span<const DialState> states,
                                int zoom);

} // namespace atlas
