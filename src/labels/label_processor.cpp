#include "labels/label_processor.h"

#include "common/status_texts.h"
#include "common/text.h"

namespace lumetra {

namespace {

constexpr int kHighestRecordWithValues = 4;

} // namespace

LabelProcessor::LabelProcessor(LabelState& state, const FieldSelectionSettings& settings,
                               FieldSelector& selector, HostCalls& host, ListFileLoader& lists,
                               LabelExport& exporter, ProgramFileReader& programs, LineRoad& road,
                               Panel& panel, StatusLine& status, OperatorLog& log)
    : m_state(state), m_settings(settings), m_selector(selector), m_host(host), m_lists(lists),
      m_exporter(exporter), m_programs(programs), m_road(road), m_panel(panel), m_status(status),
      m_log(log) {}

bool LabelProcessor::runCommand(const std::string& text) {
    if (text == "%START%") {
        m_host.startWorkList();
    } else if (text == "%STOP%") {
        m_host.stopWorkList();
    } else if (text == "%END%") {
        m_host.endWorkList();
    } else if (text == "%CLEAR%") {
        if (!m_state.receivedTypes.empty()) {
            hideIndicators(m_panel);
            m_road.resetLabelData();
            m_state.receivedTypes.clear();
        } else {
            m_host.clearWorkList();
        }
    } else {
        m_host.setDeviceStatus(host_command::kSetPoint);
    }
    m_status.readyStep();
    return true;
}

void LabelProcessor::takeProgramName(std::string name) {
    m_state.data.programName = std::move(name);
    m_road.applySuffixRule();
    m_exporter.writeLabelExport();
}

std::optional<bool> LabelProcessor::takeRecord(const std::string& text, const LabelDecision& d) {
    const RecordHeader& header = d.header;
    if (header.repeated)
        m_state.data.repetitions = "999";
    if (!d.taken)
        return std::nullopt; // it completes the label with the values collected so far

    const std::string payload = text.substr(3);
    LabelData& data = m_state.data;
    TokenCursor& cursor = m_state.cursor;
    m_state.receivedTypes += header.typeCharacter;
    if (header.type <= kHighestRecordWithValues)
        m_panel.setIndicatorVisible(header.type, true);
    switch (header.type) {
    case 0:
        m_state.receivedTypes.clear();
        m_host.clearWorkList();
        return m_lists.loadListFile(payload);
    case 1:
        if (d.nameOnly) {
            data.programName = d.programName;
        } else {
            takeProgramName(d.programName);
            m_programs.readProgramFile({0, 0, 0});
            data.comment = m_state.programComment;
            const std::string rest = payload.substr(payload.find(' ') + 1);
            std::string field = nextToken(cursor, rest);
            if (!m_state.fieldSelected)
                data.fieldCode = std::move(field);
            data.exclusions = nextToken(cursor, rest);
        }
        break;
    case 2:
        for (std::string* value : {&data.dimX, &data.dimY, &data.dimZ})
            *value = nextToken(cursor, payload);
        break;
    case 3:
        for (std::string* value : {&data.varA, &data.varB, &data.varC, &data.varD})
            *value = nextToken(cursor, payload);
        break;
    case 4:
        for (std::string* value : {&data.varE, &data.varF, &data.varG, &data.varI})
            *value = nextToken(cursor, payload);
        break;
    default:
        // Types 5 to 9 carry no values; the record still counts for the label.
        m_log.write(LogKind::Info, "record type " + std::to_string(header.type) +
                                       " taken without values: " + text);
        break;
    }
    nextToken(cursor, "");
    return std::nullopt;
}

bool LabelProcessor::takePlainLabel(const std::string& text, const LabelDecision& d) {
    if (!d.taken) {
        m_status.show(texts::kRunFieldNotSelected);
        return false;
    }
    // A plain label starts from reset values: a label it interrupts ends here.
    m_road.discardUnfinishedLabel("the plain label " + text);
    const std::string& defaultField = m_settings.slot(Slot::DFN).code;
    const bool appliesDefault = !defaultField.empty() && !m_state.fieldSelected;
    if (appliesDefault) {
        m_state.data.fieldCode = toUpper(defaultField);
        m_state.fieldSelected = true;
        m_selector.selectField(SelectionMode::SeedFromLetter, 0, 0);
    }
    takeProgramName(d.programName);
    m_state.receivedTypes = "1";
    return appliesDefault;
}

bool LabelProcessor::processLabelScan(const std::string& text) {
    const LabelDecision decision = decideLabel(m_state, m_settings, text);
    // A refused text changes nothing: not the label, not the field, not the work list.
    if (decision.refusal) {
        m_log.write(LogKind::Info, "label refused: " + *decision.refusal);
        m_status.show(std::string(texts::kFormatError) + "  " + text);
        return false;
    }
    m_road.resetListIfPending();
    if (decision.kind == LabelKind::Command)
        return runCommand(text);
    if (decision.kind == LabelKind::FieldCode) {
        m_state.data.fieldCode = fieldCodeInner(text);
        m_state.fieldSelected = true;
        m_selector.selectField(SelectionMode::SeedFromFieldBarcode, 0, 0);
        // A program name may hold a field code inside three to five characters: the log
        // tells why a label chose a field and added no line.
        m_log.write(LogKind::Info,
                    "field " + m_state.data.fieldCode + " chosen by \xAB" + text + "\xBB");
        return true;
    }
    m_state.data.repetitions = "1";
    m_state.data.listColumn4 = "1";
    bool result = false;
    if (decision.kind == LabelKind::Record) {
        if (const auto listResult = takeRecord(text, decision))
            return *listResult;
    } else {
        result = takePlainLabel(text, decision);
    }
    if (decision.completes)
        return finishLabel();
    if (decision.kind == LabelKind::Record)
        m_status.show(texts::kWaitingNext);
    return result;
}

bool LabelProcessor::finishLabel() {
    m_state.receivedTypes.clear();
    const Dimensions dimensions = m_programs.completeDimensions();
    if (isTicked(m_panel, Option::AClear))
        m_host.clearWorkList();
    m_road.addLines(dimensions.x, dimensions.y, true);
    m_road.finish();
    return true;
}

} // namespace lumetra
