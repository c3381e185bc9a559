#pragma once
// Access to host code. Host code is mapped read-and-execute only, so every access
// opens a short window: the bytes concerned are made PAGE_EXECUTE_READWRITE, read or
// written, and their previous protection is put back. All addresses are process
// addresses; translation from host addresses happens before these calls.
#include <cstddef>
#include <cstdint>

namespace injector {

using process_address = std::uintptr_t;

// Copies size bytes from source to target, inside an access window over the target
// when open_access is set and size is not 0. The copy happens even if the window fails.
void write_host_bytes(process_address target, const void* source, std::size_t size, bool open_access);

// Copies size bytes of host memory into destination; the window covers the host bytes.
void read_host_bytes(process_address source, void* destination, std::size_t size, bool open_access);

// The 32-bit value at address, read inside a 4-byte window.
std::uint32_t read_host_dword(process_address address);

// The byte at address, read inside a 1-byte window.
std::uint8_t read_host_byte(process_address address);

// Where the call or jump at address transfers control to: E8/E9 rel32 and FF 15/FF 25
// through an absolute pointer cell. Any other instruction gives 0.
process_address branch_target(process_address address);

} // namespace injector
