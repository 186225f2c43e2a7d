#include "programs/program_importer.h"

#include "common/field_splitter.h"
#include "common/files.h"
#include "common/safe_name.h"
#include "common/status_texts.h"
#include "common/text.h"

#include <filesystem>

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

void ProgramImporter::readHeader(const std::string& header) {
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

void ProgramImporter::saveProgram(const std::string& body) {
    if (body.size() < kShortestBody)
        return;
    const std::string path = m_config.gcodePath + m_state.data.programName;
    const std::string native = m_paths.map(path);
    if (!isTicked(m_panel, Option::Overwrite)) {
        std::error_code error;
        const bool regular = std::filesystem::is_regular_file(native, error);
        const auto size = regular ? std::filesystem::file_size(native, error) : 0;
        if (regular && !error && size > 0)
            return; // the existing program stays
    }
    if (const WriteOutcome written = replaceFile(native, body); !written)
        m_status.showError(std::string(texts::kProgramNotSaved) + path + " (" + written.error +
                           ")");
}

void ProgramImporter::importProgramBarcode(std::string& scan) {
    m_road.resetListIfPending();
    if (!scan.empty() && scan.front() == kPrefixMark)
        scan.erase(0, kPrefixLength);

    float x = 0, y = 0, z = 0;
    const auto bang = scan.find('!');
    if (bang == std::string::npos) {
        if (startsWith(scan, kListLoadMark)) {
            const std::string name =
                scan.size() >= 6 ? scan.substr(4, scan.size() - 6) : std::string{};
            m_host.clearWorkList();
            m_lists.loadListFile(name);
            return;
        }
    } else {
        const std::string header = scan.substr(0, bang);
        const std::string name = FieldSplitter("^", header).field(1);
        if (name.empty() || !isSafeName(name)) {
            // Nothing is written for a name that would leave the program folder.
            m_status.show(std::string(texts::kFormatError) + "  " + scan);
            m_log.write(LogKind::Error, "program name refused: «" + name + "»");
            return;
        }
        m_status.show(texts::kSavingProgram);
        // The comment of an earlier program must not follow this one into its line.
        m_state.programComment.clear();
        readHeader(header);
        saveProgram(trim(std::string_view(scan).substr(bang + 1)));
        m_programs.completeDimensions(x, y, z);
    }
    m_state.data.comment = trim(m_state.programComment);
    m_road.addLines(x, y, false);
    m_road.finish();
}

} // namespace lumetra
