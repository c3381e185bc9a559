#include "host/HostGame.hpp"

#include "host/HostReferences.hpp"

std::uint32_t HostLoadTextureDictionary(const char* path) {
    return host::FunctionAt<host::HostLoadTextureDictionaryFn>(LoadTextureDictionaryReference.translated)(
        path);
}
