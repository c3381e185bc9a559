// Renders one frame of the dial in the stand-in host and writes it as a PNG file:
//   dial_frame OUT.png [WIDTH HEIGHT SPEED GEAR [CROP_X CROP_Y CROP_W CROP_H]]
// The plugin's draw handler runs once over the test atlas; the crop, if given, is written.
#include "host/HostGame.hpp"
#include "speedometer/DialRenderer.hpp"
#include "speedometer/DialResources.hpp"
#include "speedometer/ScreenGeometry.hpp"
#include "standin/HostFunctions.hpp"
#include "standin/Rasteriser.hpp"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 6 && argc != 10) {
        std::fprintf(stderr,
                     "usage: dial_frame OUT.png [WIDTH HEIGHT SPEED GEAR [CROP_X CROP_Y CROP_W CROP_H]]\n");
        return 2;
    }
    const auto number = [&](int i, long fallback) {
        return argc > i ? std::strtol(argv[i], nullptr, 10) : fallback;
    };
    const auto width = static_cast<std::int32_t>(number(2, 1920));
    const auto height = static_cast<std::int32_t>(number(3, 1080));
    const float speed = argc > 4 ? std::strtof(argv[4], nullptr) : 0.5f;
    const auto gear = static_cast<std::uint8_t>(number(5, 3));

    standin::SetScreenSize(width, height);
    standin::SetPlayerVehicle({0, gear, speed});
    FillAngleTables();
    DialTexture = HostGetDictionaryTexture(HostLoadTextureDictionary("models\\speedometer.txd"));
    standin::StartFrameCapture();
    DrawSpeedometer();
    standin::StopFrameCapture();

    standin::Image frame = standin::CapturedFrame();
    if (argc == 10) {
        frame = standin::Crop(frame, static_cast<int>(number(6, 0)), static_cast<int>(number(7, 0)),
                              static_cast<int>(number(8, 0)), static_cast<int>(number(9, 0)));
    }
    if (!standin::WritePng(frame, argv[1])) {
        std::fprintf(stderr, "dial_frame: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %dx%d, %s\n", argv[1], frame.width, frame.height, standin::CallRecord().c_str());
    return 0;
}
