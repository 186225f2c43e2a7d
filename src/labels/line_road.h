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
    LineRoad(LabelState& state, const FieldSelectionSettings& settings,
             const TriggerDisplay& display, FieldSelector& selector, WorkList& workList,
             HostCalls& host, EditorLauncher& editor, SerialPort& port, Panel& panel,
             StatusLine& status);

    // One line, or a normal and a mirrored one when the mirror trigger asks for both.
    // With `acknowledge` each line also sends "ACK" and a carriage return to the scanner.
    void addLines(float dimX, float dimY, bool acknowledge);
    // Pause, "Ready.", indicators off, last names, the editor, the reset.
    void finish();

    // The first label or program barcode after start-up shows and clears the host list.
    void resetListIfPending();

    // The ".CNC" suffix of the product variant.
    void applySuffixRule();

private:
    void addLine(float dimX, float dimY, bool acknowledge);

    LabelState& m_state;
    const FieldSelectionSettings& m_settings;
    const TriggerDisplay& m_display;
    FieldSelector& m_selector;
    WorkList& m_workList;
    HostCalls& m_host;
    EditorLauncher& m_editor;
    SerialPort& m_port;
    Panel& m_panel;
    StatusLine& m_status;
};

} // namespace lumetra
