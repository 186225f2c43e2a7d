// Host calls whose failure must not stop the caller: a failure is shown in the status
// line and logged, and the call answers false.
#pragma once

#include "base/status_line.h"
#include "host/host_link.h"

#include <functional>

namespace lumetra {

class HostCalls {
public:
    HostCalls(HostLink& host, StatusLine& status);

    bool showWorkList();
    bool clearWorkList();
    bool startWorkList();
    bool stopWorkList();
    bool endWorkList();
    bool setDeviceStatus(std::string_view command);

private:
    bool attempt(const std::function<void()>& call);

    HostLink& m_host;
    StatusLine& m_status;
};

} // namespace lumetra
