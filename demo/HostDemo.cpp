// The main job's demo: a stand-in host loads the shipped plugin from its install package,
// as a plugin loader would, and pictures what the plugin draws through the host.
//   host_demo PLUGIN.asi OUTPUT_DIR
// Writes OUTPUT_DIR/drive/frame-NNN.png, a scripted drive on a 1920 x 1080 screen listed in
// OUTPUT_DIR/drive/drive.txt, and OUTPUT_DIR/contact-sheet.png, the dial's corner of the
// screen at several speeds, gears and screen sizes (contact-sheet-small.png at half size).
#include "demo/Pictures.hpp"
#include "standin/HostCallSites.hpp"
#include "standin/HostFunctions.hpp"
#include "standin/Rasteriser.hpp"
#include "standin/TxdTextureLoader.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using standin::HostFunction;
using standin::Image;
using standin::Rgba;
using standin::VehicleState;

constexpr std::uint32_t kHostBuild = 1001;
constexpr std::int32_t kCar = 0;
constexpr std::int32_t kExcludedType = 10; // a vehicle type the dial does not apply to
constexpr Rgba kBackdrop{70, 90, 80, 255};

struct Screen {
    int width;
    int height;
};

struct Frame {
    Image picture;
    bool drawn = false; // the plugin drew anything
};

// One pass of the host's frame through its draw call site.
Frame RenderFrame(Screen screen, const std::optional<VehicleState>& vehicle) {
    standin::SetScreenSize(screen.width, screen.height);
    if (vehicle) {
        standin::SetPlayerVehicle(*vehicle);
    } else {
        standin::SetNoPlayerVehicle();
    }
    standin::ClearCallLog();
    standin::StartFrameCapture(kBackdrop);
    standin::ExecuteDrawSite();
    standin::StopFrameCapture();
    Frame frame{standin::CapturedFrame()};
    for (const standin::HostCall& call : standin::HostCalls()) {
        frame.drawn = frame.drawn || call.function == HostFunction::DrawPrimitive;
    }
    return frame;
}

const standin::HostCall* FirstCallTo(HostFunction function) {
    for (const standin::HostCall& call : standin::HostCalls()) {
        if (call.function == function) {
            return &call;
        }
    }
    return nullptr;
}

bool Write(const Image& picture, const std::string& path) {
    if (standin::WritePng(picture, path)) {
        return true;
    }
    std::fprintf(stderr, "host_demo: cannot write %s\n", path.c_str());
    return false;
}

// Creates a folder whose parent exists; an existing folder is fine.
bool MakeFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
        return true;
    }
    std::fprintf(stderr, "host_demo: cannot create %s\n", path.c_str());
    return false;
}

std::string GearName(std::uint8_t gear) {
    return gear == 0 ? "N" : std::to_string(gear);
}

// The drive: each stretch holds a vehicle type and gear while the speed runs from one value
// to another; a stretch without a vehicle is the player on foot.
struct Stretch {
    const char* what;
    int frames;
    bool inVehicle;
    std::int32_t type;
    std::uint8_t gear;
    float fromSpeed;
    float toSpeed;
};

constexpr Stretch kDrive[] = {
    {"standing still in neutral", 10, true, kCar, 0, 0.0f, 0.0f},
    {"first gear, moving off", 16, true, kCar, 1, 0.0f, 0.25f},
    {"second gear", 10, true, kCar, 2, 0.25f, 0.45f},
    {"third gear", 10, true, kCar, 3, 0.45f, 0.65f},
    {"fourth gear", 10, true, kCar, 4, 0.65f, 0.85f},
    {"fifth gear", 10, true, kCar, 5, 0.85f, 1.05f},
    {"sixth gear, past the needle's stop", 20, true, kCar, 6, 1.05f, 1.5f},
    {"holding speed past the stop", 6, true, kCar, 6, 1.5f, 1.5f},
    {"coasting in neutral", 12, true, kCar, 0, 1.5f, 0.6f},
    {"in a vehicle of type 10, which gets no dial", 10, true, kExcludedType, 3, 0.6f, 0.6f},
    {"on foot", 4, false, 0, 0, 0.0f, 0.0f},
};

bool WriteDrive(const std::string& folder) {
    if (!MakeFolder(folder)) {
        return false;
    }
    const std::string listing = folder + "/drive.txt";
    std::FILE* list = std::fopen(listing.c_str(), "w");
    if (list == nullptr) {
        std::fprintf(stderr, "host_demo: cannot write %s\n", listing.c_str());
        return false;
    }
    constexpr Screen kScreen{1920, 1080};
    std::fprintf(list, "# %dx%d frames: file, vehicle, gear, raw speed, what the plugin drew\n",
                 kScreen.width, kScreen.height);
    int index = 0;
    bool ok = true;
    for (const Stretch& stretch : kDrive) {
        std::fprintf(list, "# %s\n", stretch.what);
        for (int i = 0; i < stretch.frames && ok; ++i, ++index) {
            std::optional<VehicleState> vehicle;
            const float progress = static_cast<float>(i + 1) / static_cast<float>(stretch.frames);
            const float speed = stretch.fromSpeed + (stretch.toSpeed - stretch.fromSpeed) * progress;
            if (stretch.inVehicle) {
                vehicle = VehicleState{stretch.type, stretch.gear, speed};
            }
            const Frame frame = RenderFrame(kScreen, vehicle);
            char name[32];
            std::snprintf(name, sizeof name, "frame-%03d.png", index);
            ok = Write(frame.picture, folder + "/" + name);
            if (vehicle) {
                std::fprintf(list, "%s  type %2d  gear %s  speed %.3f  %s\n", name, vehicle->type,
                             GearName(vehicle->gear).c_str(), vehicle->speed,
                             frame.drawn ? "dial" : "nothing");
            } else {
                std::fprintf(list, "%s  no vehicle                    %s\n", name,
                             frame.drawn ? "dial" : "nothing");
            }
        }
    }
    std::fclose(list);
    if (ok) {
        std::printf("drive: %d frames of %dx%d in %s (listed in drive.txt)\n", index, kScreen.width,
                    kScreen.height, folder.c_str());
    }
    return ok;
}

// The contact sheet: a row per screen size, starting with the whole screen scaled down, then
// the lower right corner of the screen at native size for each speed and gear. Each corner's
// right and bottom edges are the screen's own, so anything cut off by the screen shows.
struct SheetColumn {
    float speed;
    std::uint8_t gear;
};
constexpr SheetColumn kColumns[] = {{0.0f, 0}, {0.05f, 1}, {0.6f, 3}, {1.2f, 6}, {1.5f, 6}};
constexpr Screen kScreens[] = {{1920, 1080}, {1280, 720}, {2560, 1080}, {1080, 1920}};
constexpr std::size_t kOverviewColumn = 2; // the whole screen is shown at this column's speed

// The corner shown: 400 x 370 on a screen 1080 pixels high, scaled like the dial is, by the
// smaller screen dimension.
Screen CornerOf(Screen screen) {
    const float scale = static_cast<float>(std::min(screen.width, screen.height)) / 1080.0f;
    return {static_cast<int>(std::lround(400.0f * scale)), static_cast<int>(std::lround(370.0f * scale))};
}

constexpr int kMargin = 16;
constexpr int kGap = 16;
constexpr int kOverviewBox = 300;
constexpr int kLabelPixel = 2;
constexpr int kLabelGap = 6;
constexpr Rgba kSheetBackground{24, 26, 28, 255};
constexpr Rgba kLabelColour{220, 220, 220, 255};
constexpr Rgba kCornerMark{255, 210, 60, 255};

std::string SpeedLabel(float speed) {
    char text[32];
    std::snprintf(text, sizeof text, "SPEED %.2f", static_cast<double>(speed));
    return text;
}

Image MakeContactSheet() {
    int cornerWidth = 0;
    std::vector<int> rowHeights;
    const int labelLine = demo::LabelHeight(kLabelPixel) + kLabelGap;
    for (const Screen screen : kScreens) {
        const Screen corner = CornerOf(screen);
        cornerWidth = std::max(cornerWidth, corner.width);
        rowHeights.push_back(std::max(corner.height, labelLine + kOverviewBox));
    }
    const int columns = static_cast<int>(std::size(kColumns));
    const int width = kMargin * 2 + kOverviewBox + columns * (kGap + cornerWidth);
    int height = kMargin * 2 + 2 * labelLine;
    for (const int rowHeight : rowHeights) {
        height += rowHeight + kGap;
    }
    Image sheet = Image::Filled(width, height, kSheetBackground);

    const auto columnLeft = [&](int column) {
        return kMargin + kOverviewBox + kGap + column * (kGap + cornerWidth);
    };
    for (int column = 0; column < columns; ++column) {
        const SheetColumn& c = kColumns[column];
        demo::DrawLabel(sheet, SpeedLabel(c.speed), columnLeft(column), kMargin, kLabelPixel, kLabelColour);
        demo::DrawLabel(sheet, "GEAR " + GearName(c.gear), columnLeft(column), kMargin + labelLine,
                        kLabelPixel, kLabelColour);
    }

    int top = kMargin + 2 * labelLine;
    for (std::size_t row = 0; row < std::size(kScreens); ++row) {
        const Screen screen = kScreens[row];
        const Screen corner = CornerOf(screen);
        const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
        demo::DrawLabel(sheet, size, kMargin, top, kLabelPixel, kLabelColour);
        for (int column = 0; column < columns; ++column) {
            const SheetColumn& c = kColumns[column];
            const Frame frame = RenderFrame(screen, VehicleState{kCar, c.gear, c.speed});
            const int cornerX = screen.width - corner.width;
            const int cornerY = screen.height - corner.height;
            demo::Paste(sheet, standin::Crop(frame.picture, cornerX, cornerY, corner.width, corner.height),
                        columnLeft(column), top);
            if (static_cast<std::size_t>(column) == kOverviewColumn) {
                const float fit = static_cast<float>(kOverviewBox) /
                                  static_cast<float>(std::max(screen.width, screen.height));
                const auto scaled = [fit](int length) {
                    return std::max(1, static_cast<int>(std::lround(static_cast<float>(length) * fit)));
                };
                Image overview = demo::ScaleDown(frame.picture, scaled(screen.width), scaled(screen.height));
                demo::Outline(overview, scaled(cornerX), scaled(cornerY), overview.width, overview.height,
                              kCornerMark);
                demo::Paste(sheet, overview, kMargin, top + labelLine);
            }
        }
        top += rowHeights[row] + kGap;
    }
    return sheet;
}

bool PluginTookTheCallSites(HMODULE plugin) {
    const auto base = reinterpret_cast<std::uintptr_t>(plugin);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + static_cast<std::uintptr_t>(dos->e_lfanew));
    const std::uintptr_t end = base + nt->OptionalHeader.SizeOfImage;
    for (const standin::Address site : {standin::kInitSite, standin::kDrawSite, standin::kShutdownSite}) {
        const std::uintptr_t target = standin::CallTargetAt(site);
        if (target < base || target >= end) {
            std::fprintf(stderr, "host_demo: the call at host address %#x does not lead into the plugin\n",
                         static_cast<unsigned>(site));
            return false;
        }
    }
    return true;
}

// The host's init: the plugin loads its artwork from beside its own file.
bool LoadArtwork() {
    standin::ClearCallLog();
    standin::ExecuteInitSite();
    const standin::HostCall* load = FirstCallTo(HostFunction::LoadTextureDictionary);
    if (load == nullptr) {
        std::fprintf(stderr, "host_demo: the plugin loaded no texture dictionary\n");
        return false;
    }
    const std::string path = load->path.data();
    const standin::HostCall* texture = FirstCallTo(HostFunction::GetDictionaryTexture);
    const standin::Dictionary* dictionary =
        texture != nullptr ? standin::FindDictionary(texture->Word(0)) : nullptr;
    if (dictionary == nullptr || dictionary->texture == nullptr) {
        std::fprintf(stderr, "host_demo: cannot load %s: %s\n", path.c_str(),
                     standin::LastTxdLoadError().c_str());
        return false;
    }
    std::printf("artwork: %s, %dx%d\n", path.c_str(), dictionary->texture->image.width,
                dictionary->texture->image.height);
    return true;
}

// One of the host's HUD texts, drawn through its patched call while the player drives.
void ShowTextDisplacement() {
    standin::SetScreenSize(1920, 1080);
    standin::SetPlayerVehicle({kCar, 3, 0.6f});
    standin::ClearCallLog();
    constexpr float kHostX = 1800.0f;
    standin::ExecuteTextSiteA(kHostX, 900.0f, 0);
    if (const standin::HostCall* text = FirstCallTo(HostFunction::DrawTextA)) {
        std::printf("HUD text: the host draws at x %.0f, the text lands at x %.0f\n",
                    static_cast<double>(kHostX), static_cast<double>(text->Float(0)));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_demo PLUGIN.asi OUTPUT_DIR\n");
        return 2;
    }
    const std::string output = argv[2];

    standin::PrepareHost(kHostBuild);
    standin::SetTextureLoader(standin::TxdFileLoader());
    HMODULE plugin = LoadLibraryA(argv[1]);
    if (plugin == nullptr) {
        std::fprintf(stderr, "host_demo: cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    std::printf("plugin: %s, in host build %u\n", argv[1], static_cast<unsigned>(kHostBuild));
    if (!PluginTookTheCallSites(plugin) || !LoadArtwork()) {
        return 1;
    }
    ShowTextDisplacement();

    if (!MakeFolder(output) || !WriteDrive(output + "/drive")) {
        return 1;
    }
    const Image sheet = MakeContactSheet();
    const Image halfSize = demo::ScaleDown(sheet, sheet.width / 2, sheet.height / 2);
    const std::string sheetPath = output + "/contact-sheet.png";
    const std::string smallPath = output + "/contact-sheet-small.png";
    if (!Write(sheet, sheetPath) || !Write(halfSize, smallPath)) {
        return 1;
    }
    std::printf("contact sheet: %s (%dx%d), half size: %s\n", sheetPath.c_str(), sheet.width, sheet.height,
                smallPath.c_str());

    standin::ExecuteShutdownSite();
    if (!FreeLibrary(plugin)) {
        std::fprintf(stderr, "host_demo: cannot unload the plugin\n");
        return 1;
    }
    return 0;
}
