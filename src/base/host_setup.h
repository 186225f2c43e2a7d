// The host set-up, settled once at start-up: with the operator console or without it
// (list operation names, line format, reset values), and the product variant whose
// program names carry ".CNC".
#pragma once

namespace lumetra {

struct HostSetup {
    bool consolePresent = false;
    bool cncSuffixMode = false;
};

} // namespace lumetra
