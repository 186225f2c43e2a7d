// Names taken from scans that become paths (program, list and export names) must stay
// inside their folder: no absolute path, no drive letter, no ".." component and no
// control characters.
#pragma once

#include <string_view>

namespace lumetra {

bool isSafeName(std::string_view name);

} // namespace lumetra
