// The compression library itself, loaded by name (Windows only).
#pragma once

#include "platform/compression.h"

#include <memory>
#include <string>

namespace lumetra {

struct LoadedCompression {
    std::unique_ptr<CompressionLibrary> library; // none when it could not be loaded
    std::string failure;                         // why not
};

// Loads `dllName` (the system's search order) and resolves the library's operations.
LoadedCompression loadCrush32(const std::string& dllName = "crush32.dll");

} // namespace lumetra
