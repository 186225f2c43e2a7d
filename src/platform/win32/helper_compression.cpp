#include "platform/win32/helper_compression.h"

#include "platform/files.h"
#include "platform/win32/windows_text.h"

#include <algorithm>
#include <windows.h>

namespace lumetra {

namespace {

constexpr std::int16_t kCompressedHandle = 1;
constexpr std::int16_t kExpandedHandle = 2;

std::wstring commandArgument(const std::string& codePageText) {
    return L"\"" + wideFromCodePage(codePageText) + L"\"";
}

std::string exitMeaning(DWORD status) {
    switch (status) {
    case 2:
        return "it was called wrongly";
    case 3:
        return "it cannot use the library";
    case 4:
        return "the library could not expand the data";
    case 5:
        return "it could not read or write its files";
    default:
        return "it ended with status " + std::to_string(status);
    }
}

} // namespace

HelperCompression::HelperCompression(std::string helper, std::string library,
                                     std::string workFolder, PlatformLog& log,
                                     unsigned long timeout)
    : m_helper(std::move(helper)), m_library(std::move(library)),
      m_workFolder(std::move(workFolder)), m_log(log), m_timeout(timeout) {}

bool HelperCompression::run(const std::string& route, int length, const std::string& compressed,
                            const std::string& expanded) {
    std::wstring commandLine = commandArgument(m_helper) + L" " + commandArgument(m_library) +
                               L" " + wideFromCodePage(route) + L" " + std::to_wstring(length) +
                               L" " + commandArgument(compressed) + L" " +
                               commandArgument(expanded);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(fileSystemPath(m_helper).c_str(), commandLine.data(), nullptr, nullptr,
                        FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
        m_log.error("compressed scan: the helper " + m_helper +
                    " cannot be started: " + windowsErrorText(GetLastError()));
        return false;
    }
    CloseHandle(process.hThread);
    DWORD status = 0;
    if (WaitForSingleObject(process.hProcess, m_timeout) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
        m_log.error("compressed scan: the helper " + m_helper + " was ended after " +
                    std::to_string(m_timeout) + " ms without an answer");
        CloseHandle(process.hProcess);
        return false;
    }
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    if (status != 0)
        m_log.error("compressed scan: the helper " + m_helper + " did not expand (" + route +
                    " route): " + exitMeaning(status));
    return status == 0;
}

int HelperCompression::bufferExpand(const char* input, char* output, int expandedLength,
                                    int compressedLength) {
    const std::string compressed = m_workFolder + "\\Temp.Cmp";
    const std::string expanded = m_workFolder + "\\Temp.Dat";
    if (!replaceFile(compressed, std::string_view(input, static_cast<std::size_t>(
                                                             std::max(compressedLength, 0)))))
        return -1;
    std::string error;
    const auto made = createFreshFile(expanded, error);
    if (!made || !run("buffer", expandedLength, compressed, expanded))
        return -1;
    const auto text = readSameFile(expanded, *made);
    if (!text)
        return -1;
    const std::size_t size = std::min<std::size_t>(text->size(), kPayloadBuffer);
    std::copy_n(text->data(), size, output);
    return static_cast<int>(size);
}

std::int16_t HelperCompression::openFile(const std::string& nativePath, int mode) {
    if (mode == 10) {
        m_expanded = nativePath;
        return kExpandedHandle;
    }
    m_compressed = nativePath;
    return kCompressedHandle;
}

// The helper writes the expanded file; its length is then the expansion's own.
int HelperCompression::expandFile(const ExpandFileRecord& record) {
    return run("file", record.expandedLength, m_compressed, m_expanded) ? kLengthUnknown : -1;
}

} // namespace lumetra
