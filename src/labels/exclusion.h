// The exclusion insertion setting: eight characters, "1" at position i inserts exclusion i.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

// The positions 1 to 8 that hold "1", one digit each («10100000» gives "13").
std::string exclusionDigits(std::string_view setting);

// " Exclusion Number <digits>  for insertion."
std::string exclusionCaption(std::string_view setting);

// ExLab at start-up: shown when the setting reads a number other than 0.
std::optional<std::string> startupExclusionCaption(std::string_view setting);

} // namespace lumetra
