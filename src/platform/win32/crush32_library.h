// The compression library itself, loaded by name (Windows only).
#pragma once

#include "platform/compression.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace lumetra {

struct LoadedCompression {
    std::unique_ptr<CompressionLibrary> library; // none when it could not be loaded
    std::string failure;                         // why not
    std::string file;                            // the library's file, when it was found
    // The file is a library of the other width (a 32-bit DLL for a 64-bit program): a
    // helper process of its width can use it.
    bool otherWidth = false;
};

// Loads `dllName` (the system's search order) and resolves the library's operations.
LoadedCompression loadCrush32(const std::string& dllName = "crush32.dll");

// The machine a Windows program file is built for (IMAGE_FILE_MACHINE_I386 0x14C,
// _AMD64 0x8664), from its header; none for a file that is not a Windows program.
std::optional<std::uint16_t> programMachine(const std::string& path);

} // namespace lumetra
