// Writes the speedometer's texture dictionary and, on request, PNG pictures of the atlas and
// of a mock dial drawn from it:
//   atlas_generator OUTPUT.txd [--atlas-png FILE] [--preview-png FILE] [--preview-zoom N]
#include "tools/atlas/Atlas.hpp"
#include "tools/atlas/DialPreview.hpp"
#include "tools/txd/TxdFormat.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: atlas_generator OUTPUT.txd [--atlas-png FILE] [--preview-png FILE] [--preview-zoom N]\n");
    return 2;
}

bool WritePng(const std::string& path, int width, int height, int channels, const std::uint8_t* pixels) {
    if (stbi_write_png(path.c_str(), width, height, channels, pixels, width * channels) != 0)
        return true;
    std::fprintf(stderr, "atlas_generator: cannot write %s\n", path.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0)
        return Usage();
    const std::string output = argv[1];
    std::string atlasPng;
    std::string previewPng;
    int zoom = 1;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--atlas-png")
            atlasPng = argv[i + 1];
        else if (option == "--preview-png")
            previewPng = argv[i + 1];
        else if (option == "--preview-zoom")
            zoom = std::clamp(std::atoi(argv[i + 1]), 1, 4);
        else
            return Usage();
    }

    txd::DecodedTexture texture{"speedometer", atlas::kAtlasWidth, atlas::kAtlasHeight, true,
                                atlas::GenerateAtlas()};
    std::string error;
    if (!txd::WriteTextureDictionaryFile(output, texture, &error)) {
        std::fprintf(stderr, "atlas_generator: %s\n", error.c_str());
        return 1;
    }
    if (!atlasPng.empty() &&
        !WritePng(atlasPng, atlas::kAtlasWidth, atlas::kAtlasHeight, 4, texture.rgba.data()))
        return 1;
    if (!previewPng.empty()) {
        // Standing in reverse, mid-range, near the stop, and past it.
        const atlas::DialState states[] = {{0.0f, 0}, {0.5f, 2}, {1.0f, 4}, {1.5f, 5}};
        const atlas::PreviewImage preview = atlas::ComposeDialPreview(texture.rgba, states, zoom);
        if (!WritePng(previewPng, preview.width, preview.height, 3, preview.rgb.data()))
            return 1;
    }
    return 0;
}
