#include "platform/win32/win32_workstation_probe.h"

#include "platform/files.h"
#include "platform/win32/crush32_library.h"
#include "platform/win32/windows_text.h"

#include <objbase.h>
#include <vector>
#include <windows.h>

namespace lumetra {

namespace {

std::string userName() {
    wchar_t name[256] = {};
    DWORD size = 256;
    if (!GetUserNameW(name, &size))
        return "this user";
    return nativePathText(std::filesystem::path(name));
}

// Whether the user running the check is granted `access` by the object's security.
std::optional<bool> granted(const std::wstring& path, DWORD access) {
    DWORD needed = 0;
    const SECURITY_INFORMATION what =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    GetFileSecurityW(path.c_str(), what, nullptr, 0, &needed);
    if (needed == 0)
        return std::nullopt;
    std::vector<char> buffer(needed);
    auto* descriptor = reinterpret_cast<PSECURITY_DESCRIPTOR>(buffer.data());
    if (!GetFileSecurityW(path.c_str(), what, descriptor, needed, &needed))
        return std::nullopt;
    HANDLE process = nullptr;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &process))
        return std::nullopt;
    const bool duplicated = DuplicateToken(process, SecurityImpersonation, &token);
    CloseHandle(process);
    if (!duplicated)
        return std::nullopt;
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                            FILE_ALL_ACCESS};
    MapGenericMask(&access, &mapping);
    PRIVILEGE_SET privileges{};
    DWORD privilegesSize = sizeof privileges;
    DWORD grantedAccess = 0;
    BOOL allowed = FALSE;
    const bool checked = AccessCheck(descriptor, token, access, &mapping, &privileges,
                                     &privilegesSize, &grantedAccess, &allowed);
    CloseHandle(token);
    if (!checked)
        return std::nullopt;
    return allowed != FALSE;
}

const char* machineName(std::uint16_t machine) {
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
        return "32-bit";
    case IMAGE_FILE_MACHINE_AMD64:
        return "64-bit";
    default:
        return "another machine's";
    }
}

} // namespace

Win32WorkstationProbe::Win32WorkstationProbe(std::string compressionDll, std::string helper)
    : m_compressionDll(std::move(compressionDll)), m_helper(std::move(helper)) {}

DeviceState Win32WorkstationProbe::scannerDevice(const std::string& device) {
    DeviceState state;
    state.userName = userName();
    const std::wstring name = L"\\\\.\\" + fileSystemPath(device).wstring();
    // Opened without sharing and closed at once: a port another program has open refuses.
    const HANDLE port = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return state;
        state.present = true;
        state.serial = true;
        if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
            state.heldBy = "another program (Windows does not tell which)";
        else
            state.heldBy = windowsErrorText(error);
        return state;
    }
    CloseHandle(port);
    state.present = true;
    state.serial = true;
    return state;
}

std::optional<std::string> Win32WorkstationProbe::folderProblem(const std::string& nativeFolder) {
    const std::wstring path = fileSystemPath(nativeFolder).wstring();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::string("it does not exist");
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return std::string("it is not a folder");
    if (granted(path, FILE_ADD_FILE | FILE_DELETE_CHILD) == false)
        return "user " + userName() + " cannot write into it";
    return std::nullopt;
}

std::optional<std::string> Win32WorkstationProbe::fileWriteProblem(const std::string& nativeFile) {
    if (auto problem = folderProblem(nativePathText(fileSystemPath(nativeFile).parent_path())))
        return "its folder: " + *problem;
    const std::wstring path = fileSystemPath(nativeFile).wstring();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return std::string("it is read-only");
    if (granted(path, FILE_GENERIC_WRITE | DELETE) == false)
        return "user " + userName() + " may not write it";
    return std::nullopt;
}

std::optional<std::string> Win32WorkstationProbe::programProblem(const std::string& nativeFile) {
    const DWORD attributes = GetFileAttributesW(fileSystemPath(nativeFile).wstring().c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::string("it does not exist");
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::string("it is a folder");
    if (!programMachine(nativeFile))
        return std::string("it is not a Windows program");
    return std::nullopt;
}

std::vector<Finding>
Win32WorkstationProbe::platformFindings(const std::vector<std::string>& hostClasses) {
    std::vector<Finding> findings;
    const bool initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    for (const std::string& name : hostClasses) {
        CLSID id{};
        const std::wstring progId = fileSystemPath(name).wstring();
        if (SUCCEEDED(CLSIDFromProgID(progId.c_str(), &id)))
            findings.push_back({Verdict::Ok, "host application", name + " is registered", {}});
        else
            findings.push_back({Verdict::Error, "host application", name + " is not registered",
                                "install the host application (it registers its classes)"});
    }
    if (initialised)
        CoUninitialize();

    wchar_t found[MAX_PATH] = {};
    if (SearchPathW(nullptr, fileSystemPath(m_compressionDll).wstring().c_str(), nullptr, MAX_PATH,
                    found, nullptr) == 0) {
        findings.push_back({Verdict::Warning, "compressed scans",
                            m_compressionDll + " not found: compressed scans are expanded as "
                                               "raw DEFLATE",
                            "put " + m_compressionDll + " beside lumetra.exe"});
        return findings;
    }
    const std::string library = nativePathText(std::filesystem::path(found));
    const auto machine = programMachine(library);
    const std::uint16_t own =
        sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
    if (!machine) {
        findings.push_back({Verdict::Error, "compressed scans",
                            library + " is not a Windows library (its header says so)",
                            "replace it by the workstation's " + m_compressionDll});
    } else if (*machine == own) {
        findings.push_back({Verdict::Ok,
                            "compressed scans",
                            library + " (" + machineName(*machine) + ") is used in the program",
                            {}});
    } else if (*machine == IMAGE_FILE_MACHINE_I386 &&
               GetFileAttributesW(fileSystemPath(m_helper).wstring().c_str()) !=
                   INVALID_FILE_ATTRIBUTES) {
        findings.push_back({Verdict::Ok,
                            "compressed scans",
                            library + " (32-bit) is used through " + m_helper,
                            {}});
    } else {
        findings.push_back(
            {Verdict::Error, "compressed scans",
             library + " is a " + machineName(*machine) + " library this program cannot use" +
                 (*machine == IMAGE_FILE_MACHINE_I386 ? ", and " + m_helper + " is missing"
                                                      : std::string()),
             "put lumetra-expand32.exe beside lumetra.exe"});
    }
    return findings;
}

} // namespace lumetra
