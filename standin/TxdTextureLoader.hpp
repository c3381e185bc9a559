#pragma once
// Loads dictionaries the way the host does: reads the file at the path it is given.
// A file that is missing or damaged gives no texture, so the load fails cleanly.
#include "standin/HostFunctions.hpp"

#include <string>

namespace standin {

// A texture loader for SetTextureLoader that reads real texture-dictionary files.
TextureLoader TxdFileLoader();

// The reason the last load through TxdFileLoader failed; empty after a success.
const std::string& LastTxdLoadError();

} // namespace standin
