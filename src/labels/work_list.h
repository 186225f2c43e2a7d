// Work-list lines: built from LabelData in the host variant's format and added to the
// host's work list, re-creating the list object once when it no longer answers.
#pragma once

#include "base/configuration.h"
#include "base/ini_file.h"
#include "base/label_data.h"
#include "base/status_line.h"
#include "host/host_link.h"

namespace lumetra {

// Tagged format (console present). Zero dimensions are blanked in `state.data`.
std::string buildTaggedLine(LabelState& state);

// Column format (console absent). `newListCol` widens separators; an empty `exclusions`
// takes the exclusion setting's digits.
std::string buildColumnLine(LabelData& data, std::string_view newListCol,
                            std::string_view exclusionSetting);

class WorkList {
public:
    WorkList(LabelState& state, HostLink& host, const IniFile& ini, const Configuration& config,
             StatusLine& status, OperatorLog& log);

    std::string buildListLine();
    // Never fails back to the caller; a list that stays unreachable is reported.
    void addWorkListLine();

private:
    LabelState& m_state;
    HostLink& m_host;
    const IniFile& m_ini;
    const Configuration& m_config;
    StatusLine& m_status;
    OperatorLog& m_log;
};

} // namespace lumetra
