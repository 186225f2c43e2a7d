// The names of the program's temporary files: ".lumetra-tmp-<process>-<random>" beside
// the file they become. The mark tells them from the files of others, the process number
// whether the run that made one still goes on, and the random part keeps the name from
// being known in advance.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

std::string temporaryFileName(long processId, std::uint64_t random);

// True for a name temporaryFileName gives, and for the "<name>.lumetra-tmp-<process>" of
// earlier versions, so that their leftovers are cleaned up too.
bool isTemporaryFileName(std::string_view fileName);

// The process number in a temporary file's name; none for any other name.
std::optional<long> temporaryFileProcess(std::string_view fileName);

} // namespace lumetra
