// A platform log that keeps what it is told.
#pragma once

#include "platform/platform_log.h"

#include <string>
#include <vector>

namespace lumetra::testing {

struct RecordingLog : PlatformLog {
    std::vector<std::string> infos;
    std::vector<std::string> errors;
    void info(std::string_view text) override { infos.emplace_back(text); }
    void error(std::string_view text) override { errors.emplace_back(text); }
};

} // namespace lumetra::testing
