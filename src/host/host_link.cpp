#include "host/host_link.h"

#include "common/errors.h"

namespace lumetra {

HostLink::HostLink(Automation& automation, const HostSetup& setup)
    : m_automation(automation), m_setup(setup) {}

AutomationObject& HostLink::require(const std::shared_ptr<AutomationObject>& object) {
    // An object that was never created (the host was missing) is as gone as one that died.
    if (!object)
        throw UnexpectedError(error_number::kObjectNotSet,
                              "Object variable or With block variable not set",
                              CallFailure::ObjectGone);
    return *object;
}

void HostLink::createHostApplication() {
    m_application = m_automation.create(host_class::kApplication);
}

void HostLink::connectWorkList() {
    if (m_setup.consolePresent) {
        m_console = m_automation.create(host_class::kConsoleApplication);
        m_console->set("Visible", true);
        m_workList = m_automation.create(host_class::kConsoleWorkList);
    } else {
        require(m_application).set("Visible", true);
        m_workList = m_automation.create(host_class::kWorkList);
    }
}

void HostLink::recreateWorkList() {
    m_workList = m_automation.create(host_class::kWorkList);
    m_workList->set("Visible", true);
    m_workList->call("Clear", {});
}

void HostLink::release() {
    m_workList.reset();
    m_application.reset();
    m_console.reset();
}

void HostLink::listCall(std::string_view withConsole, std::string_view withoutConsole) {
    require(m_workList).call(m_setup.consolePresent ? withConsole : withoutConsole, {});
}

void HostLink::showWorkList() {
    require(m_workList).set("Visible", true);
}
void HostLink::clearWorkList() {
    listCall("ClearList", "Clear");
}
void HostLink::startWorkList() {
    listCall("StartList", "Start");
}
void HostLink::stopWorkList() {
    listCall("StopList", "Stop");
}
void HostLink::endWorkList() {
    listCall("EndList", "End");
}

void HostLink::addLine(const std::string& line) {
    require(m_workList).call("AddLine", {line});
}

void HostLink::setDeviceStatus(std::string_view command) {
    require(m_application).call("SetDeviceStatus", {std::string(command), std::int16_t{1}});
}

} // namespace lumetra
