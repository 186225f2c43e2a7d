// `lumetra --check [--json]`: the workstation check, printed on standard output.
#pragma once

#include "app/program.h"

namespace lumetra {

// The exit status: 0 when nothing stops the workstation, else 1.
int runWorkstationCheck(const ProgramEnvironment& setup, bool json);

} // namespace lumetra
