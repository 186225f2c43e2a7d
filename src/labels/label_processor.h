// Label processing: commands, field-code barcodes, the records of a label collected
// until it is complete, plain labels, and the lines a complete label gives.
#pragma once

#include "labels/label_decision.h"
#include "labels/label_export.h"
#include "labels/line_road.h"
#include "labels/list_file.h"
#include "programs/program_file.h"

namespace lumetra {

class LabelProcessor {
public:
    LabelProcessor(LabelState& state, const FieldSelectionSettings& settings,
                   FieldSelector& selector, HostCalls& host, ListFileLoader& lists,
                   LabelExport& exporter, ProgramFileReader& programs, LineRoad& road, Panel& panel,
                   StatusLine& status, OperatorLog& log);

    // True when the text was fully handled (a command, a field-code barcode, a complete
    // label, a plain label with the default field, or a loaded list); false while a label
    // is incomplete or when the text was refused.
    bool processLabelScan(const std::string& text);

private:
    bool runCommand(const std::string& text);
    // Takes the record; the list's result when it was a list file record.
    std::optional<bool> takeRecord(const std::string& text, const LabelDecision& decision);
    // True when the default field was applied.
    bool takePlainLabel(const std::string& text, const LabelDecision& decision);
    void takeProgramName(std::string name);
    bool finishLabel();

    LabelState& m_state;
    const FieldSelectionSettings& m_settings;
    FieldSelector& m_selector;
    HostCalls& m_host;
    ListFileLoader& m_lists;
    LabelExport& m_exporter;
    ProgramFileReader& m_programs;
    LineRoad& m_road;
    Panel& m_panel;
    StatusLine& m_status;
    OperatorLog& m_log;
};

} // namespace lumetra
