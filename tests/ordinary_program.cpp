// An ordinary program, not the host, that loads the plugin as some other plugin
// loader would: the plugin must load, change none of this program's code, and unload.
// Exit status 0 means all of that held.
#include <cstdio>
#include <cstring>
#include <vector>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::puts("usage: ordinary_program PLUGIN");
        return 2;
    }
    auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const auto* text = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        reinterpret_cast<const unsigned char*>(&nt->OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader);
    const unsigned char* code = base + text->VirtualAddress;
    const std::vector<unsigned char> before(code, code + text->Misc.VirtualSize);

    HMODULE plugin = LoadLibraryA(argv[1]);
    if (plugin == nullptr) {
        std::printf("LoadLibraryA failed, error %lu\n", GetLastError());
        return 1;
    }
    const bool unchanged = std::memcmp(before.data(), code, before.size()) == 0;
    if (!FreeLibrary(plugin)) {
        std::puts("FreeLibrary failed");
        return 1;
    }
    if (!unchanged || std::memcmp(before.data(), code, before.size()) != 0) {
        std::puts("the plugin changed this program's code");
        return 1;
    }
    std::printf("loaded and unloaded; image %08lx bytes at %p\n", nt->OptionalHeader.SizeOfImage,
                static_cast<const void*>(base));
    return 0;
}
