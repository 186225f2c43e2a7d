// Names taken from scans that become paths (program, list and export names) must stay
// inside their folder: no absolute path, no drive letter, no ".." component and no
// control characters.
#pragma once

#include <string>
#include <string_view>

namespace lumetra {

bool isSafeName(std::string_view name);

// The name of a program's file: the program name without trailing spaces and dots, which
// a file name on the target system cannot end in. Written and read under the same name.
std::string programFileName(std::string_view programName);

// A program name that may reach the host and name a file: safe as a path, without the
// work list's separator ";", not blank as a file name, and not one of our temporary files.
bool isUsableProgramName(std::string_view programName);

} // namespace lumetra
