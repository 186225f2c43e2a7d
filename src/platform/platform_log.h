// What an adapter has to say goes to the operator log through this; adapters know
// nothing of the log itself.
#pragma once

#include <string_view>

namespace lumetra {

class PlatformLog {
public:
    virtual ~PlatformLog() = default;
    virtual void info(std::string_view text) = 0;
    virtual void error(std::string_view text) = 0;
};

} // namespace lumetra
