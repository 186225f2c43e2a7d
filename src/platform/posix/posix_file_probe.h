#pragma once

#include "platform/file_probe.h"

namespace lumetra {

class PosixFileProbe final : public FileProbe {
public:
    Probe probe(const std::string& nativePath) override;
};

} // namespace lumetra
