// The file layer on Windows: paths are code-page text, turned into UTF-16 names once;
// durability comes from FlushFileBuffers and a write-through move.
#include "platform/files.h"
#include "platform/process.h"
#include "platform/win32/windows_text.h"

#include <algorithm>
#include <io.h>
#include <utility>
#include <windows.h>

namespace lumetra {

namespace {

std::string describe(const std::string& step) {
    return step + ": " + windowsErrorText(GetLastError());
}

class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    bool close() {
        const HANDLE handle = std::exchange(m_handle, INVALID_HANDLE_VALUE);
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != 0;
    }

private:
    HANDLE m_handle;
};

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// A virus scanner or an indexer holds a file it has just seen for a moment; a program
// that keeps the file open for longer makes the move fail. An existing file is replaced
// keeping its attributes (a hidden program stays hidden), its security and its streams;
// the old file passes through a backup name, so a replacement that fails half way leaves
// both files under their own names.
bool moveOver(const std::wstring& from, const std::wstring& to, const std::string& nativeTarget) {
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributes = GetFileAttributesW(to.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    const std::wstring backup = wideFromCodePage(temporaryPathBeside(nativeTarget));
    for (int attempt = 0;; ++attempt) {
        if (exists ? ReplaceFileW(to.c_str(), from.c_str(), backup.c_str(),
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                   : MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0) {
            DeleteFileW(backup.c_str());
            // Some implementations of the replacement drop the attributes all the same.
            if (exists && (GetFileAttributesW(to.c_str()) & kKept) != (attributes & kKept))
                SetFileAttributesW(to.c_str(), attributes & kKept);
            return true;
        }
        const DWORD error = GetLastError();
        if (attempt == 20 ||
            (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
             error != ERROR_ACCESS_DENIED && error != ERROR_UNABLE_TO_REMOVE_REPLACED))
            return false;
        Sleep(50);
        SetLastError(error);
    }
}

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& information) {
    return {information.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) |
                information.nFileIndexLow};
}

// What stands at the path itself: a link (reparse point) is opened, not followed.
HANDLE openItself(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// A new file beside `nativePath` that only this call created.
HANDLE createTemporary(const std::string& nativePath, std::string& temporary) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = temporaryPathBeside(nativePath);
        const HANDLE file = CreateFileW(wideFromCodePage(temporary).c_str(), GENERIC_WRITE, 0,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

std::optional<std::uint64_t> nameCount(std::FILE* file) {
    BY_HANDLE_FILE_INFORMATION information{};
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (file == nullptr || !GetFileInformationByHandle(handle, &information))
        return std::nullopt;
    return information.nNumberOfLinks;
}

std::optional<FileStamp> fileStamp(const std::string& nativePath) {
    Handle item(CreateFileW(wideFromCodePage(nativePath).c_str(), 0,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!item.valid() || !GetFileInformationByHandle(item.get(), &information))
        return std::nullopt;
    // FILETIME counts 100 ns from 1601; the system clock counts from 1970.
    constexpr std::int64_t kFrom1601To1970 = 116444736000000000;
    const auto ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(information.ftLastWriteTime.dwHighDateTime) << 32) |
        information.ftLastWriteTime.dwLowDateTime);
    const std::chrono::duration<std::int64_t, std::ratio<1, 10000000>> sinceEpoch(ticks -
                                                                                  kFrom1601To1970);
    return FileStamp{
        identityOf(information),
        (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow,
        std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch))};
}

std::optional<FileIdentity> createFreshFile(const std::string& nativePath, std::string& error) {
    const std::wstring path = wideFromCodePage(nativePath);
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        error = describe("cannot remove " + nativePath);
        return std::nullopt;
    }
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &information)) {
        error = describe("cannot create " + nativePath);
        return std::nullopt;
    }
    return identityOf(information);
}

std::optional<std::string> readSameFile(const std::string& nativePath,
                                        const FileIdentity& identity) {
    Handle file(openItself(wideFromCodePage(nativePath), GENERIC_READ));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        !(identityOf(information) == identity))
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

long currentProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

bool processRuns(long pid) {
    if (pid <= 0)
        return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

std::filesystem::path fileSystemPath(const std::string& nativePath) {
    return std::filesystem::path(wideFromCodePage(nativePath));
}

std::string nativePathText(const std::filesystem::path& path) {
    return codePageFromWide(path.native());
}

std::FILE* openFile(const std::string& nativePath, const char* mode) {
    return _wfopen(wideFromCodePage(nativePath).c_str(), wideFromCodePage(mode).c_str());
}

WriteOutcome replaceFile(const std::string& nativePath, std::string_view bytes) {
    // A read-only file stays as it is, as a write in place would leave it (the move
    // below would replace it for a user the system does not hold to the attribute).
    const DWORD attributes = GetFileAttributesW(fileSystemPath(nativePath).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return {"cannot replace " + nativePath + ": the file is read-only"};
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {"cannot replace " + nativePath + ": it is a folder"};
    std::string temporary;
    std::string failure;
    {
        Handle file(createTemporary(nativePath, temporary));
        if (!file.valid())
            return {describe("cannot create a temporary file beside " + nativePath)};
        if (!writeAll(file.get(), bytes))
            failure = describe("cannot write " + temporary);
        else if (!FlushFileBuffers(file.get()))
            failure = describe("cannot flush " + temporary);
        if (!file.close() && failure.empty())
            failure = describe("cannot close " + temporary);
    }
    const std::wstring wideTemporary = wideFromCodePage(temporary);
    if (failure.empty() && !moveOver(wideTemporary, wideFromCodePage(nativePath), nativePath))
        failure = describe("cannot rename " + temporary + " to " + nativePath);
    if (!failure.empty()) {
        DeleteFileW(wideTemporary.c_str());
        return {failure};
    }
    return {};
}

namespace {

// The file at the name itself (a link or junction planted there is not followed), and only
// when it is a plain disk file of one name; else invalid, with the reason in `why`.
HANDLE openRegular(const std::string& nativePath, DWORD access, DWORD creation, std::string& why) {
    HANDLE file =
        CreateFileW(wideFromCodePage(nativePath).c_str(), access, FILE_SHARE_READ, nullptr,
                    creation, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        why = describe("cannot open " + nativePath);
        return file;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        information.nNumberOfLinks != 1) {
        CloseHandle(file);
        why = "cannot open " + nativePath +
              ": a link, a device or another file than a regular one stands at its name";
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

} // namespace

WriteOutcome appendToFile(const std::string& nativePath, std::string_view bytes) {
    std::string why;
    Handle file(openRegular(nativePath, GENERIC_WRITE, OPEN_ALWAYS, why));
    if (!file.valid())
        return {why};
    LARGE_INTEGER before{};
    const LARGE_INTEGER zero{};
    if (!SetFilePointerEx(file.get(), zero, &before, FILE_END))
        return {describe("cannot read the length of " + nativePath)};
    std::string failure;
    if (!writeAll(file.get(), bytes))
        failure = describe("cannot append to " + nativePath);
    else if (!FlushFileBuffers(file.get()))
        failure = describe("cannot flush " + nativePath);
    if (!failure.empty() && SetFilePointerEx(file.get(), before, nullptr, FILE_BEGIN) &&
        SetEndOfFile(file.get()))
        FlushFileBuffers(file.get());
    if (!file.close() && failure.empty())
        failure = describe("cannot close " + nativePath);
    return {failure};
}

WriteOutcome cutBack(const std::string& nativePath, std::uint64_t length) {
    std::string why;
    Handle file(openRegular(nativePath, GENERIC_WRITE, OPEN_EXISTING, why));
    if (!file.valid())
        return {why};
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(length);
    std::string failure;
    if (!SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()))
        failure = describe("cannot cut back " + nativePath);
    else if (!FlushFileBuffers(file.get()))
        failure = describe("cannot flush " + nativePath);
    if (!file.close() && failure.empty())
        failure = describe("cannot close " + nativePath);
    return {failure};
}

std::optional<std::uint64_t> regularFileLength(const std::string& nativePath) {
    std::string why;
    Handle file(openRegular(nativePath, GENERIC_READ, OPEN_EXISTING, why));
    LARGE_INTEGER size{};
    if (!file.valid() || !GetFileSizeEx(file.get(), &size))
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

} // namespace lumetra
