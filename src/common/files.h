// Whole files: reading the small ones the program handles (INI, CSV), replacing a file
// without ever leaving half of it, and appending a block that is either whole or absent.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

// The name the file system knows a path by. Every path the program builds is code-page
// text; on Windows it is converted through the active code page here, and nowhere else.
std::filesystem::path fileSystemPath(const std::string& nativePath);

// A name read from the file system as code-page text (the reverse of fileSystemPath).
std::string nativePathText(const std::filesystem::path& path);

// std::fopen of a path the program built.
std::FILE* openFile(const std::string& nativePath, const char* mode);

// The bytes of a regular file; none when it is missing, a folder or unreadable.
std::optional<std::string> readWholeFile(const std::string& nativePath);

// What a write did: nothing to say when it succeeded, else why it failed.
struct WriteOutcome {
    std::string error;
    explicit operator bool() const { return error.empty(); }
};

// Writes `bytes` to a temporary file beside `nativePath`, flushes it to the disk and
// renames it over the file, keeping the old file's permissions. A failure at any step
// leaves the old file as it was and removes the temporary file.
WriteOutcome replaceFile(const std::string& nativePath, std::string_view bytes);

// Appends `bytes` and flushes them to the disk. A failure cuts the file back to the
// length it had, so it holds either the whole block or none of it.
WriteOutcome appendToFile(const std::string& nativePath, std::string_view bytes);

// The temporary file replaceFile uses for `nativePath` in this process. Its name marks
// it as ours and carries the process number, so one left by a killed process is known.
std::string temporaryFileName(const std::string& nativePath);

// True for a name that temporaryFileName gives.
bool isTemporaryFileName(std::string_view fileName);

// Removes the temporary files in `nativeFolder` whose process no longer runs; returns
// the names removed.
std::vector<std::string> removeStaleTemporaryFiles(const std::string& nativeFolder);

} // namespace lumetra
