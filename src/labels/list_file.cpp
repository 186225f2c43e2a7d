#include "labels/list_file.h"

#include "common/field_splitter.h"
#include "common/line_reader.h"
#include "common/safe_name.h"
#include "common/status_texts.h"
#include "common/text.h"
#include "platform/files.h"

#include <filesystem>
#include <fstream>

namespace lumetra {

namespace {

constexpr std::size_t kShortestEntry = 6; // lines of 5 characters or fewer are skipped
constexpr std::size_t kEntriesBetweenProgress = 50;

} // namespace

void storeListEntry(LabelData& data, std::string_view line) {
    const FieldSplitter fields(";", line);
    for (std::size_t i = 0; i < kListColumns; ++i)
        data.*kColumnOrder[i] = fields.field(i + 1);
}

ListFileLoader::ListFileLoader(LabelState& state, const Configuration& config, const Paths& paths,
                               Dialogs& dialogs, HostCalls& host, WorkList& workList,
                               StatusLine& status, Panel& panel, OperatorLog& log)
    : m_state(state), m_config(config), m_paths(paths), m_dialogs(dialogs), m_host(host),
      m_workList(workList), m_status(status), m_panel(panel), m_log(log) {}

bool ListFileLoader::failed(const std::string& reason) {
    m_log.write(LogKind::Error, reason);
    hideIndicators(m_panel);
    return false;
}

bool ListFileLoader::loadListFile(const std::string& name) {
    const std::string path = m_config.gcodePath + name + ".LST";
    if (!isUsableListName(name)) // the callers refuse such a scan before anything changes
        return failed("list name refused as a path: " + name);
    const std::filesystem::path native = fileSystemPath(m_paths.map(path));
    std::error_code error;
    if (!std::filesystem::is_regular_file(native, error)) {
        m_dialogs.message("List File " + path + " Not Found", Icon::Exclamation, Buttons::Ok);
        hideIndicators(m_panel);
        return false;
    }
    std::ifstream in(native, std::ios::binary);
    if (!in)
        return failed("list file could not be read: " + path);
    return loadEntries(in, path);
}

std::optional<std::size_t> ListFileLoader::countEntries(std::istream& in) {
    LineReader lines(in);
    std::size_t entries = 0;
    while (auto line = lines.next()) {
        if (line->find('\0') != std::string::npos)
            return std::nullopt;
        entries += trim(*line).size() >= kShortestEntry;
    }
    in.clear();
    in.seekg(0);
    return entries > 0 ? entries - 1 : 0; // the first is the header
}

bool ListFileLoader::loadEntries(std::istream& in, const std::string& path) {
    const auto total = countEntries(in);
    if (!total) {
        m_status.showProblem(ProblemStep::ListFile,
                             "List File " + path + " is not a text file: nothing was added");
        hideIndicators(m_panel);
        return false;
    }
    LineReader lines(in);
    bool headerSeen = false;
    std::size_t added = 0;
    std::size_t skipped = 0;
    std::size_t lineNumber = 0;
    const auto stopped = [&](const std::string& why) {
        m_panel.setListProgress(0, 0);
        return failed("list file " + path + " stopped " + why + " after " + std::to_string(added) +
                      " of " + std::to_string(*total) + " entries");
    };
    while (auto line = lines.next()) {
        ++lineNumber;
        if (trim(*line).size() < kShortestEntry)
            continue;
        if (!headerSeen) {
            headerSeen = true;
            continue;
        }
        // An entry reaches the host as a scanned label does: its name obeys the same rules.
        if (const std::string name = FieldSplitter(";", *line).field(1);
            !isUsableProgramName(name)) {
            ++skipped;
            m_log.write(LogKind::Error, "list file " + path + " line " +
                                            std::to_string(lineNumber) +
                                            " skipped: the program name cannot be used: " + name);
            continue;
        }
        storeListEntry(m_state.data, *line);
        m_status.show(texts::kAddingLine);
        m_workList.addWorkListLine();
        // A failing notification ends the load; the entries added so far stay.
        if (!m_host.setDeviceStatus(host_command::kAddProgram))
            return stopped("by a failed host call");
        ++added;
        // The window paints and a scan is framed meanwhile; an end asked for is heard
        // within one entry.
        if (added % kEntriesBetweenProgress == 0)
            m_panel.setListProgress(added, *total);
        m_status.letEventsRun();
        if (m_status.endRequested())
            return stopped("because the program is ending");
    }
    m_panel.setListProgress(0, 0);
    if (in.bad())
        return failed("list file could not be read to its end: " + path);
    m_log.write(LogKind::Info, "list file " + path + ": " + std::to_string(added) +
                                   " entries added, " + std::to_string(skipped) + " skipped");
    if (added == 0 && skipped > 0) {
        m_status.showProblem(ProblemStep::ListFile, "List File " + path + " has no usable entry: " +
                                                        std::to_string(skipped) + " skipped");
        hideIndicators(m_panel);
        return false;
    }
    if (added == 0) {
        m_dialogs.message("List File " + path + " Empty", Icon::Exclamation, Buttons::Ok);
        m_status.readyStep();
        hideIndicators(m_panel);
        return false;
    }
    if (isTicked(m_panel, Option::AutoStart))
        m_host.startWorkList();
    m_status.pauseSeconds(0.6f);
    m_status.readyStep();
    hideIndicators(m_panel);
    resetLabelData(m_state, m_config.host);
    m_status.stepSucceeded(ProblemStep::ListFile);
    return true;
}

} // namespace lumetra
