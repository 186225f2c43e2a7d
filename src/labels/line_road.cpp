#include "labels/line_road.h"

#include "common/safe_name.h"
#include "common/status_texts.h"
#include "common/text.h"

namespace lumetra {

LineRoad::LineRoad(LabelState& state, const HostSetup& setup,
                   const FieldSelectionSettings& settings, const TriggerDisplay& display,
                   FieldSelector& selector, WorkList& workList, HostCalls& host,
                   EditorLauncher& editor, SerialPort& port, Panel& panel, StatusLine& status,
                   OperatorLog& log)
    : m_state(state), m_setup(setup), m_settings(settings), m_display(display),
      m_selector(selector), m_workList(workList), m_host(host), m_editor(editor), m_port(port),
      m_panel(panel), m_status(status), m_log(log) {}

void LineRoad::applySuffixRule() {
    std::string& name = m_state.data.programName;
    if (m_setup.cncSuffixMode && !hasCncSuffix(name))
        name += std::string(kCncSuffix);
}

void LineRoad::resetLabelData() {
    lumetra::resetLabelData(m_state, m_setup);
}

void LineRoad::discardUnfinishedLabel(std::string_view by) {
    if (!lumetra::discardUnfinishedLabel(m_state, m_setup))
        return;
    hideIndicators(m_panel);
    m_log.write(LogKind::Info, "unfinished label discarded by " + std::string(by));
}

void LineRoad::resetListIfPending() {
    if (!m_state.listResetPending)
        return;
    m_host.showWorkList();
    m_host.clearWorkList();
    m_state.listResetPending = false;
}

void LineRoad::addLine(float dimX, float dimY, bool acknowledge) {
    m_selector.resolveLineField(dimX, dimY);
    m_status.show(texts::kAddingLine);
    m_workList.addWorkListLine();
    m_host.setDeviceStatus(host_command::kAddProgram);
    if (isTicked(m_panel, Option::AutoStart))
        m_host.startWorkList();
    m_state.data.fieldCode.clear();
    m_state.fieldSelected = false;
    if (acknowledge && m_port.isOpen())
        m_port.write("ACK\r");
}

void LineRoad::addLines(float dimX, float dimY, bool acknowledge) {
    if (checkMirrorTrigger(m_settings, m_display, m_state)) {
        m_state.data.fieldCode = "&";
        addLine(dimX, dimY, acknowledge);
        m_state.data.fieldCode = "&";
        addLine(dimX, dimY, acknowledge);
    } else {
        addLine(dimX, dimY, acknowledge);
    }
}

void LineRoad::finish() {
    m_status.pauseSeconds(0.6f);
    m_status.readyStep();
    hideIndicators(m_panel);
    m_state.lastProgramName = trim(m_state.data.programName);
    m_state.lastProgramComment = trim(m_state.programComment);
    if (isTicked(m_panel, Option::ShowEd))
        m_editor.launchEditor();
    resetLabelData();
    m_panel.setAutoFieldVisible(false);
}

} // namespace lumetra
