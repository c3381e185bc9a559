#pragma once
// Code patching: 5-byte call redirection and restorable patches. A restorable patch
// saves the bytes it is about to cover and writes them back when it is undone or
// destroyed, so host code is left as the patch found it.
#include "injector/memory.hpp"

#include <array>
#include <cstddef>
#include <cstdint>

namespace injector {

// Writes a 5-byte relative call to destination at site (opcode and displacement in two
// windows) and returns what the site transferred control to before, or 0 when its
// instruction was not a decodable call or jump. Only the 5 bytes change.
process_address redirect_call(process_address site, process_address destination);

// Reports a capture larger than the save buffer through the runtime's assertion
// facility. The expression, source and line are the fixed text modders see.
[[noreturn]] void report_capture_overflow();

class scoped_base {
public:
    scoped_base() = default;
    scoped_base(const scoped_base&) = default;
    scoped_base& operator=(const scoped_base&) = default;
    virtual ~scoped_base() = default;
    // Puts back whatever the patch changed.
    virtual void undo() = 0;
};

// A patch that saves and restores up to bufsize bytes.
template <std::size_t bufsize>
class scoped_basic : public scoped_base {
public:
    scoped_basic() = default;
    scoped_basic(const scoped_basic&) = delete;
    scoped_basic& operator=(const scoped_basic&) = delete;
    // Writes back with this class's own undo, after derived classes are gone.
    ~scoped_basic() override { write_back(); }

    void undo() override { write_back(); }

    // Saves size bytes at address, first undoing (through the most derived class)
    // whatever this object held before.
    virtual void capture(process_address address, std::size_t size, bool open_access) {
        if (!(size <= bufsize)) {
            report_capture_overflow();
        }
        this->undo();
        captured_ = true;
        address_ = address;
        size_ = size;
        open_access_ = open_access;
        read_host_bytes(address, saved_.data(), size, open_access);
    }

    bool captured() const { return captured_; }
    process_address address() const { return address_; }

protected:
    void write_back() {
        if (captured_) {
            write_host_bytes(address_, saved_.data(), size_, open_access_);
            captured_ = false;
        }
    }

private:
    std::array<std::uint8_t, bufsize> saved_{};
    process_address address_ = 0;
    std::size_t size_ = 0;
    bool captured_ = false;
    bool open_access_ = false;
};

// A restorable 5-byte call patch.
class scoped_call : public scoped_basic<5> {
public:
    // Saves the 5 bytes at site and redirects its call; returns the previous target.
    process_address redirect(process_address site, process_address destination) {
        capture(site, 5, true);
        return redirect_call(site, destination);
    }
};

} // namespace injector
