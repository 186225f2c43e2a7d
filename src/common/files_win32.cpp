// The file layer on Windows: paths are code-page text, turned into UTF-16 names once;
// durability comes from FlushFileBuffers and a write-through move.
#include "common/files.h"
#include "common/process.h"
#include "common/windows_text.h"

#include <algorithm>
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
// that keeps the file open for longer makes the move fail.
bool moveOver(const std::wstring& from, const std::wstring& to) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if (attempt == 20 || (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
                              error != ERROR_ACCESS_DENIED))
            return false;
        Sleep(50);
        SetLastError(error);
    }
}

} // namespace

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
    const std::string temporary = temporaryFileName(nativePath);
    const std::wstring wideTemporary = wideFromCodePage(temporary);
    std::string failure;
    {
        Handle file(CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid())
            return {describe("cannot create " + temporary)};
        if (!writeAll(file.get(), bytes))
            failure = describe("cannot write " + temporary);
        else if (!FlushFileBuffers(file.get()))
            failure = describe("cannot flush " + temporary);
        if (!file.close() && failure.empty())
            failure = describe("cannot close " + temporary);
    }
    if (failure.empty() && !moveOver(wideTemporary, wideFromCodePage(nativePath)))
        failure = describe("cannot rename " + temporary + " to " + nativePath);
    if (!failure.empty()) {
        DeleteFileW(wideTemporary.c_str());
        return {failure};
    }
    return {};
}

WriteOutcome appendToFile(const std::string& nativePath, std::string_view bytes) {
    Handle file(CreateFileW(wideFromCodePage(nativePath).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return {describe("cannot open " + nativePath)};
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

} // namespace lumetra
