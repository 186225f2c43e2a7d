// Whole files: reading the small ones the program handles (INI, CSV), replacing a file
// without ever leaving half of it, and appending a block that is either whole or absent.
#pragma once

#include <chrono>
#include <cstdint>
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

// std::fopen of a path the program built ("rb", "wb" or "ab"). Only a regular file is
// opened: a link standing at the path itself is never followed, and a FIFO never waited on.
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
// leaves the old file as it was and removes the temporary file. The temporary file is
// created new (never through a link planted at its name) under a name no one can guess;
// a link standing at `nativePath` is replaced, never followed.
WriteOutcome replaceFile(const std::string& nativePath, std::string_view bytes);

// Appends `bytes` and flushes them to the disk. A failure cuts the file back to the
// length it had, so it holds either the whole block or none of it. Only a regular file of
// one name is appended to: a link, a FIFO or a hard link at the name is refused, never
// followed or waited for.
WriteOutcome appendToFile(const std::string& nativePath, std::string_view bytes);

// Cuts the regular file of one name at the path back to `length` bytes and flushes it; a
// link, a FIFO or a hard link at the name is refused and left as it is.
WriteOutcome cutBack(const std::string& nativePath, std::uint64_t length);

// The length of the regular file of one name at the path; none for anything else, a
// missing file included.
std::optional<std::uint64_t> regularFileLength(const std::string& nativePath);

// A new temporary file's path beside `nativePath`, named by temporaryFileName for this
// process with a random part: short whatever the target's name.
std::string temporaryPathBeside(const std::string& nativePath);

// True when a link stands at the path and leads out of the path's folder. Such a name is
// taken for no file, so nothing outside a folder others write into is read in its place.
bool leadsOutsideItsFolder(const std::string& nativePath);

// How many names an open file has: more than one for a hard link, 0 once it was removed;
// none when that cannot be told.
std::optional<std::uint64_t> nameCount(std::FILE* file);

// Which file a path leads to: its volume and its number there.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t number = 0;
    bool operator==(const FileIdentity&) const = default;
};

// What tells whether a file or folder changed: its identity, length and time of change.
struct FileStamp {
    FileIdentity identity;
    std::uint64_t size = 0;
    std::chrono::system_clock::time_point modified;
    bool operator==(const FileStamp&) const = default;
};

// File systems keep the time of change coarsely (a few milliseconds, two seconds on some
// shares): a change within that time after a read can leave the stamp as it was. What was
// read while its stamp was younger than this is read again once it is this old itself.
inline constexpr std::chrono::seconds kStampResolution{2};

// True when what was read at `readAt` from a file that had `stamp` then may still be
// taken for the file that has `now` as its stamp.
inline bool stillCurrent(const FileStamp& stamp, std::chrono::system_clock::time_point readAt,
                         const FileStamp& now) {
    return stamp == now && (stamp.modified + kStampResolution < readAt ||
                            std::chrono::system_clock::now() < readAt + kStampResolution);
}

// The stamp of the file or folder at the path (through a link); none when there is none.
std::optional<FileStamp> fileStamp(const std::string& nativePath);

// Removes whatever stands at the path (a file, or a link: never what it points to) and
// creates an empty regular file there that this call alone made. Its identity, or none
// with `error` saying why.
std::optional<FileIdentity> createFreshFile(const std::string& nativePath, std::string& error);

// The bytes of the file at the path when it is still the regular file of that identity
// (nothing put in its place, no link); none otherwise.
std::optional<std::string> readSameFile(const std::string& nativePath,
                                        const FileIdentity& identity);

// Removes the temporary files in `nativeFolder` whose process no longer runs; returns
// the names removed.
std::vector<std::string> removeStaleTemporaryFiles(const std::string& nativeFolder);

} // namespace lumetra
