// The C++ runtime's allocation functions, container failure hooks and pure-virtual report,
// for the plugin file only. The plugin's code is built without exceptions, but the library's
// versions of these throw or call std::terminate, and with them would come the unwinder, the
// exception runtime, the verbose terminate handler with its demangler and printf, and the
// thread library they lock with: most of the file. These keep all of that out. Should the
// plugin's code ever reach another function of the library members they replace, that
// member is linked in and the link fails on the duplicates defined here.
//
// A failure ends the process through abort(), as before: then the exception had nobody to
// catch it (it could only arise in the static initialisers at load, or under host code),
// so the runtime's terminate handler wrote a line to stderr, which a windowed host never
// shows, and called abort(). The runtime's report of the abnormal end and the exit code
// are the same; only the unseen line is gone.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void OutOfMemory() {
    std::abort();
}

void* Allocate(std::size_t size) {
    if (void* p = std::malloc(size != 0 ? size : 1)) {
        return p;
    }
    OutOfMemory();
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

// Called from a virtual table slot of a pure function: only a call during construction or
// destruction of an abstract class can reach it, a programming error.
extern "C" void __cxa_pure_virtual() {
    std::abort();
}

// The hooks the standard containers call when asked to grow beyond what can be allocated.
namespace std {
void __throw_bad_alloc() {
    OutOfMemory();
}
void __throw_bad_array_new_length() {
    OutOfMemory();
}
void __throw_length_error(const char*) {
    OutOfMemory();
}
} // namespace std
