#pragma once

#include "platform/file_probe.h"

namespace lumetra {

// The file's attributes, asked of the system; its error number tells a missing file
// from a drive that is not ready or a device error.
class Win32FileProbe final : public FileProbe {
public:
    Probe probe(const std::string& nativePath) override;
};

} // namespace lumetra
