#include "labels/label_processor.h"

#include "common/safe_name.h"
#include "common/status_texts.h"
#include "common/text.h"
#include "labels/label_syntax.h"

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

void LabelProcessor::refuse(const std::string& text) {
    m_status.show(std::string(texts::kFormatError) + "  " + text);
}

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
            resetLabelData(m_state);
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

bool LabelProcessor::takesPlainLabel() const {
    const bool defaultField = !m_settings.slot(Slot::DFN).code.empty();
    return defaultField || m_state.fieldSelected ||
           m_settings.source == AutoSelSource::ProgramName ||
           m_settings.source == AutoSelSource::Comment;
}

std::optional<std::string> LabelProcessor::refusal(const std::string& text, LabelKind kind) const {
    if (kind == LabelKind::Command || kind == LabelKind::FieldCode)
        return std::nullopt;
    // A ";" in any value would shift the columns of the host's line.
    if (contains(text, ";"))
        return "it holds the work list's separator \";\"";
    if (kind == LabelKind::Plain) {
        if (takesPlainLabel() && !isUsableProgramName(trim(text)))
            return "the program name cannot be used";
        return std::nullopt;
    }
    const auto header = readRecordHeader(text);
    if (!header)
        return "no record type and count";
    if (!isRecordType(header->typeCharacter))
        return "the record type is not a digit";
    const bool taken = text.front() == '%' &&
                       !contains(m_state.receivedTypes, std::string(1, header->typeCharacter));
    const std::string payload = text.substr(3);
    std::string name = m_state.data.programName;
    if (taken && header->type == 0)
        return isUsableListName(payload)
                   ? std::nullopt
                   : std::optional<std::string>("the list name cannot be used");
    if (taken && header->type == 1) {
        const auto space = payload.find(' ');
        name = space == std::string::npos ? payload : trim(payload.substr(0, space));
        if (!isUsableProgramName(name))
            return "the program name cannot be used";
    }
    const std::size_t types = m_state.receivedTypes.size() + (taken ? 1 : 0);
    const bool completes = types != 0 && types == static_cast<std::size_t>(header->count);
    if (!taken && !completes)
        return "the record is not taken";
    if (completes && !isUsableProgramName(name))
        return "the label has no program name";
    return std::nullopt;
}

void LabelProcessor::discardUnfinishedLabel(const std::string& by) {
    if (!lumetra::discardUnfinishedLabel(m_state))
        return;
    hideIndicators(m_panel);
    m_log.write(LogKind::Info, "unfinished label discarded by " + by);
}

LabelProcessor::Taken LabelProcessor::takeRecord(const std::string& text, int& count,
                                                 bool& listResult, bool& listLoaded) {
    const auto header = readRecordHeader(text); // refusal() saw it is there
    if (header->repeated)
        m_state.data.repetitions = "999";
    count = header->count;
    if (text.front() != '%' ||
        contains(m_state.receivedTypes, std::string(1, header->typeCharacter)))
        return Taken::NotTaken;

    const std::string payload = text.substr(3);
    LabelData& d = m_state.data;
    TokenCursor& cursor = m_state.cursor;
    if (header->type == 1) {
        const auto space = payload.find(' ');
        m_state.receivedTypes += header->typeCharacter;
        m_panel.setIndicatorVisible(1, true);
        if (space == std::string::npos) {
            d.programName = payload;
        } else {
            takeProgramName(trim(payload.substr(0, space)));
            float x = 0, y = 0, z = 0;
            m_programs.readProgramFile(x, y, z);
            d.comment = m_state.programComment;
            const std::string rest = payload.substr(space + 1);
            std::string field = nextToken(cursor, rest);
            if (!m_state.fieldSelected)
                d.fieldCode = std::move(field);
            d.exclusions = nextToken(cursor, rest);
        }
    } else {
        m_state.receivedTypes += header->typeCharacter;
        if (header->type <= kHighestRecordWithValues)
            m_panel.setIndicatorVisible(header->type, true);
        switch (header->type) {
        case 0:
            m_state.receivedTypes.clear();
            m_host.clearWorkList();
            listResult = m_lists.loadListFile(payload);
            listLoaded = true;
            return Taken::Record;
        case 2:
            for (std::string* value : {&d.dimX, &d.dimY, &d.dimZ})
                *value = nextToken(cursor, payload);
            break;
        case 3:
            for (std::string* value : {&d.varA, &d.varB, &d.varC, &d.varD})
                *value = nextToken(cursor, payload);
            break;
        case 4:
            for (std::string* value : {&d.varE, &d.varF, &d.varG, &d.varI})
                *value = nextToken(cursor, payload);
            break;
        default:
            // Types 5 to 9 carry no values; the record still counts for the label.
            m_log.write(LogKind::Info, "record type " + std::to_string(header->type) +
                                           " taken without values: " + text);
            break;
        }
    }
    nextToken(cursor, "");
    return Taken::Record;
}

LabelProcessor::Taken LabelProcessor::takePlainLabel(const std::string& text, int& count,
                                                     bool& result) {
    const std::string& defaultField = m_settings.slot(Slot::DFN).code;
    // A plain label starts from reset values: a label it interrupts ends here.
    if (takesPlainLabel())
        discardUnfinishedLabel("the plain label " + text);
    if (!defaultField.empty() && !m_state.fieldSelected) {
        m_state.data.fieldCode = toUpper(defaultField);
        m_state.fieldSelected = true;
        m_selector.selectField(SelectionMode::SeedFromLetter, 0, 0);
        result = true;
    }
    if (m_settings.source == AutoSelSource::ProgramName ||
        m_settings.source == AutoSelSource::Comment || m_state.fieldSelected) {
        takeProgramName(trim(text));
        count = 1;
        m_state.receivedTypes = "1";
        return Taken::Record;
    }
    m_status.show(texts::kRunFieldNotSelected);
    return Taken::NoField;
}

bool LabelProcessor::processLabelScan(const std::string& text) {
    const LabelKind kind = classifyLabel(m_state.fieldCodeTable, text);
    // A refused text changes nothing: not the label, not the field, not the work list.
    if (const auto reason = refusal(text, kind)) {
        m_log.write(LogKind::Info, "label refused: " + *reason);
        refuse(text);
        return false;
    }
    m_road.resetListIfPending();
    if (kind == LabelKind::Command)
        return runCommand(text);
    if (kind == LabelKind::FieldCode) {
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

    int count = 0;
    bool result = false;
    bool listLoaded = false;
    const Taken taken = kind == LabelKind::Record ? takeRecord(text, count, result, listLoaded)
                                                  : takePlainLabel(text, count, result);
    if (listLoaded)
        return result;
    const bool complete = !m_state.receivedTypes.empty() &&
                          m_state.receivedTypes.size() == static_cast<std::size_t>(count);
    if (!complete) {
        if (taken == Taken::Record)
            m_status.show(texts::kWaitingNext);
        return false;
    }
    return finishLabel();
}

bool LabelProcessor::finishLabel() {
    m_state.receivedTypes.clear();
    float x = 0, y = 0, z = 0;
    m_programs.completeDimensions(x, y, z);
    if (isTicked(m_panel, Option::AClear))
        m_host.clearWorkList();
    m_road.addLines(x, y, true);
    m_road.finish();
    return true;
}

} // namespace lumetra
