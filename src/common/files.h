// Whole-file reading for the small files the program handles (INI, CSV).
#pragma once

#include <optional>
#include <string>

namespace lumetra {

// The bytes of a regular file; none when it is missing, a folder or unreadable.
std::optional<std::string> readWholeFile(const std::string& nativePath);

} // namespace lumetra
