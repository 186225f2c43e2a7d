// Whole files: reading the small ones the program handles (INI, CSV), and replacing
// a file without ever leaving half of it.
#pragma once

#include <optional>
#include <string>

namespace lumetra {

// The bytes of a regular file; none when it is missing, a folder or unreadable.
std::optional<std::string> readWholeFile(const std::string& nativePath);

// Writes `bytes` to a temporary file beside `nativePath` and renames it over the file,
// so a failed write never leaves half a file. False when it could not be written.
bool replaceFile(const std::string& nativePath, const std::string& bytes);

} // namespace lumetra
