// List files: a prepared work list, one entry per line in the nineteen-column layout,
// loaded line by line into the host's work list.
#pragma once

#include "host/host_calls.h"
#include "labels/work_list.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

#include <istream>

namespace lumetra {

class ListFileLoader {
public:
    ListFileLoader(LabelState& state, const Configuration& config, const Paths& paths,
                   Dialogs& dialogs, HostCalls& host, WorkList& workList, StatusLine& status,
                   Panel& panel, OperatorLog& log);

    // Loads GCodePath + name + ".LST". True when entries were added.
    bool loadListFile(const std::string& name);

private:
    bool loadEntries(std::istream& in, const std::string& path);
    // The entries of a list file (its lines long enough, less the header); none for a
    // file that is not text (it holds NUL bytes).
    static std::optional<std::size_t> countEntries(std::istream& in);
    bool failed(const std::string& reason);

    LabelState& m_state;
    const Configuration& m_config;
    const Paths& m_paths;
    Dialogs& m_dialogs;
    HostCalls& m_host;
    WorkList& m_workList;
    StatusLine& m_status;
    Panel& m_panel;
    OperatorLog& m_log;
};

// Stores the nineteen ";"-separated fields of an entry in `data` (missing ones empty).
void storeListEntry(LabelData& data, std::string_view line);

} // namespace lumetra
