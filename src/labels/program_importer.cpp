#include "labels/program_importer.h"

#include "common/field_splitter.h"
#include "common/safe_name.h"
#include "common/status_texts.h"
#include "common/text.h"
#include "platform/files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace lumetra {

namespace {

constexpr char kPrefixMark = '\xD1';
constexpr std::size_t kPrefixLength = 8;
constexpr std::string_view kListLoadMark = "*%00";
constexpr std::size_t kLastHeaderField = 14;
constexpr std::size_t kShortestBody = 11;

} // namespace

ProgramImporter::ProgramImporter(LabelState& state, const Configuration& config, const Paths& paths,
                                 HostCalls& host, ListFileLoader& lists,
                                 ProgramFileReader& programs, LineRoad& road, Panel& panel,
                                 StatusLine& status, OperatorLog& log)
    : m_state(state), m_config(config), m_paths(paths), m_host(host), m_lists(lists),
      m_programs(programs), m_road(road), m_panel(panel), m_status(status), m_log(log) {}

void ProgramImporter::readHeader(std::string_view header) {
    const FieldSplitter fields("^", header);
    LabelData& d = m_state.data;
    d.programName = fields.field(1);
    d.repetitions = "1";
    d.listColumn4 = "1";
    m_panel.setIndicatorVisible(1, true);
    for (std::size_t n = 2; n <= kLastHeaderField; ++n) {
        const std::string record = fields.field(n);
        if (record.empty())
            continue;
        const std::string value = trim(std::string_view(record).substr(1));
        std::string* target = nullptr;
        int indicator = -1;
        switch (record.front()) {
        case 'U':
            if (trim(d.fieldCode).empty())
                d.fieldCode = value;
            continue;
        case 'V':
            target = &d.exclusions;
            break;
        case 'X':
            target = &d.dimX;
            indicator = 2;
            break;
        case 'Y':
            target = &d.dimY;
            indicator = 2;
            break;
        case 'Z':
            target = &d.dimZ;
            indicator = 2;
            break;
        case 'A':
            target = &d.varA;
            indicator = 3;
            break;
        case 'B':
            target = &d.varB;
            indicator = 3;
            break;
        case 'C':
            target = &d.varC;
            indicator = 3;
            break;
        case 'D':
            target = &d.varD;
            indicator = 3;
            break;
        case 'E':
            target = &d.varE;
            indicator = 4;
            break;
        case 'F':
            target = &d.varF;
            indicator = 4;
            break;
        case 'G':
            target = &d.varG;
            indicator = 4;
            break;
        case 'I':
            target = &d.varI;
            indicator = 4;
            break;
        default:
            continue;
        }
        *target = value;
        if (indicator >= 0)
            m_panel.setIndicatorVisible(indicator, true);
    }
}

bool ProgramImporter::saveProgram(const std::string& body) {
    if (body.size() < kShortestBody)
        return true;
    const std::string path = m_programs.programPath();
    const std::string native = m_paths.map(path);
    if (!isTicked(m_panel, Option::Overwrite)) {
        // Opened for reading and asked its length: every error counts as a missing file.
        // A folder, a FIFO or a link leading out of the program folder is no program file.
        const std::filesystem::path file = fileSystemPath(native);
        std::error_code error;
        std::ifstream existing;
        if (!leadsOutsideItsFolder(native) && std::filesystem::is_regular_file(file, error))
            existing.open(file, std::ios::binary | std::ios::ate);
        if (existing.is_open() && existing.tellg() > 0)
            return true; // the existing program stays
        if (std::filesystem::exists(std::filesystem::symlink_status(file, error)) &&
            !existing.is_open())
            m_log.write(LogKind::Info,
                        "the existing program file cannot be read; it is replaced: " + path);
    }
    const WriteOutcome written = replaceFile(native, body);
    if (written)
        m_status.stepSucceeded(ProblemStep::ProgramFile);
    else
        m_status.showProblem(ProblemStep::ProgramFile, std::string(texts::kProgramNotSaved) + path +
                                                           " (" + written.error + ")");
    return static_cast<bool>(written);
}

std::optional<std::string> ProgramImporter::refusal(std::string_view scan) const {
    const auto bang = scan.find('!');
    if (bang == std::string_view::npos) {
        if (startsWith(scan, kListLoadMark))
            return isUsableListName(listName(scan))
                       ? std::nullopt
                       : std::optional<std::string>("the list name \"" + listName(scan) + "\"");
        // The line comes from the label data as they are (a label in progress has ended).
        return isUsableProgramName(m_state.data.programName)
                   ? std::nullopt
                   : std::optional<std::string>("no program name for the line");
    }
    const std::string_view header = scan.substr(0, bang);
    if (header.find(';') != std::string_view::npos)
        return "the work list's separator \";\" in the header";
    const std::string name = FieldSplitter("^", header).field(1);
    if (!isUsableProgramName(name))
        return "the program name \"" + name + "\"";
    return std::nullopt;
}

std::string ProgramImporter::listName(std::string_view scan) {
    return scan.size() >= 6 ? std::string(scan.substr(4, scan.size() - 6)) : std::string{};
}

void ProgramImporter::importProgramBarcode(std::string_view scan) {
    const std::string_view content = !scan.empty() && scan.front() == kPrefixMark
                                         ? scan.substr(std::min(kPrefixLength, scan.size()))
                                         : scan;
    // Its values would be wiped or used as a half line: a label in progress ends here.
    constexpr std::string_view kDiscardedBy = "a program barcode";
    const bool lineOnly =
        content.find('!') == std::string_view::npos && !startsWith(content, kListLoadMark);
    // A scan that adds a line from the label data ends a label in progress first: a half
    // label is never a line.
    if (lineOnly)
        m_road.discardUnfinishedLabel(kDiscardedBy);
    // A refused scan changes nothing else: not the work list, no file.
    if (const auto reason = refusal(content)) {
        m_status.show(std::string(texts::kFormatError) + "  " + std::string(scan));
        m_log.write(LogKind::Error, "program barcode refused: " + *reason);
        return;
    }
    m_road.discardUnfinishedLabel(kDiscardedBy);
    m_road.resetListIfPending();

    Dimensions dimensions;
    const auto bang = content.find('!');
    if (bang == std::string_view::npos) {
        if (startsWith(content, kListLoadMark)) {
            m_host.clearWorkList();
            m_lists.loadListFile(listName(content));
            return;
        }
    } else {
        m_status.show(texts::kSavingProgram);
        // The comment of an earlier program must not follow this one into its line.
        m_state.programComment.clear();
        readHeader(content.substr(0, bang));
        if (!saveProgram(trim(content.substr(bang + 1)))) {
            // The file on disk is another program: no line may run it under this one's name.
            m_log.write(LogKind::Error, "the line of program " + m_state.data.programName +
                                            " was not added: its program file was not saved");
            hideIndicators(m_panel);
            m_road.resetLabelData();
            m_panel.setAutoFieldVisible(false);
            return;
        }
        dimensions = m_programs.completeDimensions();
    }
    m_state.data.comment = trim(m_state.programComment);
    m_road.addLines(dimensions.x, dimensions.y, false);
    m_road.finish();
}

} // namespace lumetra
