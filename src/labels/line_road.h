// The road of a finished label or program barcode: the mirror decision, each line's
// field, the line added and announced, the list started, and afterwards the pauses,
// the indicators, the last names, the editor and the reset.
#pragma once

#include "fields/field_selector.h"
#include "fields/mirror_trigger.h"
#include "host/host_calls.h"
#include "labels/work_list.h"
#include "platform/serial_port.h"
#include "programs/editor_launcher.h"

namespace lumetra {

class LineRoad {
public:
    LineRoad(LabelState& state, const HostSetup& setup, const FieldSelectionSettings& settings,
             const TriggerDisplay& display, FieldSelector& selector, WorkList& workList,
             HostCalls& host, EditorLauncher& editor, SerialPort& port, Panel& panel,
             StatusLine& status, OperatorLog& log);

    // One line, or a normal and a mirrored one when the mirror trigger asks for both.
    // With `acknowledge` each line also sends "ACK" and a carriage return to the scanner.
    void addLines(float dimX, float dimY, bool acknowledge);
    // Pause, "Ready.", indicators off, last names, the editor, the reset.
    void finish();

    // The first label or program barcode after start-up shows and clears the host list.
    void resetListIfPending();

    // The ".CNC" suffix of the product variant.
    void applySuffixRule();

    // The reset values of the host set-up (a field chosen by a field-code barcode ends).
    void resetLabelData();
    // A label whose records were collected but which did not complete ends here, its
    // indicators off and a log line saying what ended it; a chosen field stays chosen.
    void discardUnfinishedLabel(std::string_view by);

private:
    void addLine(float dimX, float dimY, bool acknowledge);

    LabelState& m_state;
    const HostSetup& m_setup;
    const FieldSelectionSettings& m_settings;
    const TriggerDisplay& m_display;
    FieldSelector& m_selector;
    WorkList& m_workList;
    HostCalls& m_host;
    EditorLauncher& m_editor;
    SerialPort& m_port;
    Panel& m_panel;
    StatusLine& m_status;
    OperatorLog& m_log;
};

} // namespace lumetra
