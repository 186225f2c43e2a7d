#include "host/host_calls.h"

#include "common/errors.h"
#include "common/status_texts.h"

namespace lumetra {

HostCalls::HostCalls(HostLink& host, StatusLine& status) : m_host(host), m_status(status) {}

bool HostCalls::attempt(const std::function<void()>& call) {
    try {
        call();
        m_status.stepSucceeded(ProblemStep::HostCall);
        return true;
    } catch (const UnexpectedError& error) {
        m_status.showProblem(ProblemStep::HostCall,
                             std::string(texts::kHostCallFailed) + error.what());
        return false;
    }
}

bool HostCalls::showWorkList() {
    return attempt([&] { m_host.showWorkList(); });
}
bool HostCalls::clearWorkList() {
    return attempt([&] { m_host.clearWorkList(); });
}
bool HostCalls::startWorkList() {
    return attempt([&] { m_host.startWorkList(); });
}
bool HostCalls::stopWorkList() {
    return attempt([&] { m_host.stopWorkList(); });
}
bool HostCalls::endWorkList() {
    return attempt([&] { m_host.endWorkList(); });
}

bool HostCalls::setDeviceStatus(std::string_view command) {
    return attempt([&] { m_host.setDeviceStatus(command); });
}

} // namespace lumetra
