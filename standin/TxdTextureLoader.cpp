#include "standin/TxdTextureLoader.hpp"

#include "tools/txd/TxdFormat.hpp"

namespace standin {
namespace {
std::string lastError;
} // namespace

TextureLoader TxdFileLoader() {
    return [](const std::string& path) -> std::unique_ptr<Texture> {
        lastError.clear();
        std::optional<txd::DecodedTexture> decoded = txd::ReadTextureDictionaryFile(path, &lastError);
        if (!decoded) {
            return nullptr;
        }
        auto texture = std::make_unique<Texture>();
        texture->image.width = static_cast<int>(decoded->width);
        texture->image.height = static_cast<int>(decoded->height);
        texture->image.rgba = std::move(decoded->rgba);
        return texture;
    };
}

const std::string& LastTxdLoadError() {
    return lastError;
}

} // namespace standin
