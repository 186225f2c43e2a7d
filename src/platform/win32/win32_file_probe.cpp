#include "platform/win32/win32_file_probe.h"

#include "platform/files.h"
#include "platform/win32/windows_text.h"

#include <windows.h>

namespace lumetra {

namespace {

ProbeResult classify(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return ProbeResult::Missing;
    case ERROR_NOT_READY:
        return ProbeResult::NotReady;
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_GEN_FAILURE:
    case ERROR_READ_FAULT:
        return ProbeResult::DeviceError;
    default:
        return ProbeResult::OtherError;
    }
}

} // namespace

Probe Win32FileProbe::probe(const std::string& nativePath) {
    const DWORD attributes = GetFileAttributesW(fileSystemPath(nativePath).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return {(attributes & FILE_ATTRIBUTE_DIRECTORY) ? ProbeResult::Missing
                                                        : ProbeResult::Exists,
                0,
                {}};
    const DWORD error = GetLastError();
    return {classify(error), static_cast<int>(error), windowsErrorText(error)};
}

} // namespace lumetra
