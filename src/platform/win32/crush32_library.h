// The compression library itself, loaded by name from crush32.dll (Windows only).
#pragma once

#include "platform/compression.h"

#include <memory>

namespace lumetra {

// None when crush32.dll or one of its operations cannot be found.
std::unique_ptr<CompressionLibrary> loadCrush32();

} // namespace lumetra
