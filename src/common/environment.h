// The process environment, passed around as a function so tests can give their own.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace lumetra {

using Environment = std::function<std::optional<std::string>(const std::string&)>;

// The process environment; an empty variable counts as unset.
std::optional<std::string> processEnvironment(const std::string& name);

} // namespace lumetra
