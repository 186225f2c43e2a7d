// Names taken from scans that become paths (program, list and export names) must stay
// inside their folder and be valid file names on the workstation: no absolute path, no
// drive letter, no ".." component, no control characters and no device name of Windows.
#pragma once

#include <string>
#include <string_view>

namespace lumetra {

// The longest file name, in bytes, that the workstation's file systems take.
inline constexpr std::size_t kLongestFileName = 255;

bool isSafeName(std::string_view name);

// CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9, in any case, with or without an
// extension: Windows opens the device instead of a file of that name.
bool isReservedDeviceName(std::string_view component);

// The name of a program's file: the program name without trailing spaces and dots, which
// a file name on the target system cannot end in. Written and read under the same name.
std::string programFileName(std::string_view programName);

// A program name that may reach the host and name a file: safe as a path, without the
// work list's separator ";", not blank as a file name, no longer than a file name can be,
// and not one of our temporary files.
bool isUsableProgramName(std::string_view programName);

// The suffix of program names in the product variant that uses it.
inline constexpr std::string_view kCncSuffix = ".CNC";

// Whether the name ends in ".CNC", in any case.
bool hasCncSuffix(std::string_view programName);

// A list name that may name a list file: safe as a path and not blank.
bool isUsableListName(std::string_view listName);

} // namespace lumetra
