// Work-list lines: built from LabelData in the host variant's format and added to the
// host's work list, re-creating the list object once when it no longer answers.
#pragma once

#include "base/configuration.h"
#include "base/ini_file.h"
#include "base/label_data.h"
#include "base/status_line.h"
#include "host/host_link.h"

namespace lumetra {

// Before a tagged line: dimensions that read 0 become empty in the record (the host's
// columns stay empty, and so do the record's afterwards).
void blankZeroDimensions(LabelData& data);

// Before a column line: an empty `exclusions` takes the exclusion setting's digits.
void insertExclusions(LabelData& data, std::string_view exclusionSetting);

// Tagged format (console present).
std::string buildTaggedLine(const LabelData& data, const FieldCodeTable& table);

// Column format (console absent). `newListCol` widens separators.
std::string buildColumnLine(const LabelData& data, std::string_view newListCol);

class WorkList {
public:
    WorkList(LabelState& state, HostLink& host, const IniFile& ini, const Configuration& config,
             StatusLine& status, OperatorLog& log);

    // The line in the set-up's format, after the step that format takes on the record.
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

// The extra columns of the work list (NewListCol of section VELMORA), read at each line.
std::string listColumnsSetting(const IniFile& ini);

} // namespace lumetra
