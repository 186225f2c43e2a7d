// The host application and its work list, reached through automation objects.
#pragma once

#include "base/host_setup.h"
#include "platform/automation.h"

#include <memory>
#include <string>

namespace lumetra {

namespace host_command {
inline constexpr std::string_view kAddProgram = "KESTRAVIL.MAIN.AddProg";
inline constexpr std::string_view kSetPoint = "KESTRAVIL.MAIN.CmdSetP";
} // namespace host_command

class HostLink {
public:
    // The set-up chooses the list operation names; it is read at every call, as start-up
    // settles it after this object exists.
    HostLink(Automation& automation, const HostSetup& setup);

    void createHostApplication();
    // The console's objects (with the console) or the host's list (without).
    void connectWorkList();
    // A new list object from "Velmora.ExeList", shown and cleared, whatever the variant.
    void recreateWorkList();
    void release();

    void showWorkList();
    void clearWorkList();
    void startWorkList();
    void stopWorkList();
    void endWorkList();
    void addLine(const std::string& line);
    void setDeviceStatus(std::string_view command);

private:
    static AutomationObject& require(const std::shared_ptr<AutomationObject>& object);
    void listCall(std::string_view withConsole, std::string_view withoutConsole);

    Automation& m_automation;
    const HostSetup& m_setup;
    std::shared_ptr<AutomationObject> m_application;
    std::shared_ptr<AutomationObject> m_workList;
    std::shared_ptr<AutomationObject> m_console;
};

} // namespace lumetra
