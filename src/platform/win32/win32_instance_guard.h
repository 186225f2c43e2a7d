#pragma once

#include "platform/instance_guard.h"

#include <string>

namespace lumetra {

// A named mutex keyed on the program folder, so that copies in different folders run
// side by side. The system drops it when the process ends.
class Win32InstanceGuard final : public InstanceGuard {
public:
    explicit Win32InstanceGuard(const std::string& programFolder);
    ~Win32InstanceGuard() override;
    Win32InstanceGuard(const Win32InstanceGuard&) = delete;
    Win32InstanceGuard& operator=(const Win32InstanceGuard&) = delete;

    bool acquire() override;
    const std::wstring& mutexName() const { return m_name; }

private:
    std::wstring m_name;
    void* m_mutex = nullptr; // HANDLE
};

} // namespace lumetra
