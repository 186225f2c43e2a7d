// The folder of the running test program, where its helper programs and libraries lie.
#pragma once

#include <string>
#include <windows.h>

namespace lumetra::testing {

inline std::wstring moduleFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

} // namespace lumetra::testing
