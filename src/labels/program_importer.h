// Program barcodes: a program's text with the values of one work-list line. The
// program is saved in the program folder and its line added; a list-load barcode
// loads a list file instead.
#pragma once

#include "labels/line_road.h"
#include "labels/list_file.h"
#include "programs/program_file.h"

namespace lumetra {

class ProgramImporter {
public:
    ProgramImporter(LabelState& state, const Configuration& config, const Paths& paths,
                    HostCalls& host, ListFileLoader& lists, ProgramFileReader& programs,
                    LineRoad& road, Panel& panel, StatusLine& status, OperatorLog& log);

    // Handles one scan that contains "^".
    void importProgramBarcode(std::string_view scan);

private:
    // Why the scan (without its prefix) is refused, decided before anything changes.
    std::optional<std::string> refusal(std::string_view scan) const;
    static std::string listName(std::string_view scan);
    void readHeader(std::string_view header);
    // False when the barcode's program had to be written and could not be.
    bool saveProgram(const std::string& body);

    LabelState& m_state;
    const Configuration& m_config;
    const Paths& m_paths;
    HostCalls& m_host;
    ListFileLoader& m_lists;
    ProgramFileReader& m_programs;
    LineRoad& m_road;
    Panel& m_panel;
    StatusLine& m_status;
    OperatorLog& m_log;
};

} // namespace lumetra
