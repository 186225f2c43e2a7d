#include "labels/work_list.h"

#include "common/errors.h"
#include "common/status_texts.h"
#include "common/text.h"
#include "labels/exclusion.h"

#include <array>

namespace lumetra {

void blankZeroDimensions(LabelData& data) {
    for (std::string* dimension : {&data.dimX, &data.dimY, &data.dimZ})
        if (leadingNumber(*dimension) == 0.0)
            dimension->clear();
}

void insertExclusions(LabelData& data, std::string_view exclusionSetting) {
    if (trim(data.exclusions).empty() && leadingNumber(exclusionSetting) > 0)
        data.exclusions = exclusionDigits(exclusionSetting);
}

std::string buildTaggedLine(const LabelData& d, const FieldCodeTable& table) {
    const int position = fieldCodePosition(table, d.fieldCode);
    const bool found = position <= static_cast<int>(kFieldCodeCount);
    return "#161=" + d.programName + ";#164=" + d.repetitions +
           ";#171=" + std::to_string(position) +
           ";#284=" + (found && position % 2 == 0 ? "1" : "0") + ";#280=;#165=" + d.listColumn4 +
           ";#168=" + d.dimX + ";#169=" + d.dimY + ";#170=" + d.dimZ + ";#282=" + d.listColumn9 +
           ";#283=;";
}

std::string buildColumnLine(const LabelData& data, std::string_view newListCol) {
    std::array<std::string, kListColumns> separators;
    separators.fill(";");
    for (char c : toUpper(trim(newListCol))) {
        const int n = static_cast<unsigned char>(c) - 64;
        if (n >= 1 && n <= static_cast<int>(kListColumns))
            separators[static_cast<std::size_t>(n - 1)] += " ;";
    }
    std::string line;
    for (std::size_t i = 0; i < kListColumns; ++i)
        line += data.*kColumnOrder[i] + separators[i];
    return line;
}

std::string listColumnsSetting(const IniFile& ini) {
    return ini.readString("VELMORA", "NewListCol", "");
}

WorkList::WorkList(LabelState& state, HostLink& host, const IniFile& ini,
                   const Configuration& config, StatusLine& status, OperatorLog& log)
    : m_state(state), m_host(host), m_ini(ini), m_config(config), m_status(status), m_log(log) {}

std::string WorkList::buildListLine() {
    if (m_config.host.consolePresent) {
        blankZeroDimensions(m_state.data);
        return buildTaggedLine(m_state.data, m_state.fieldCodeTable);
    }
    insertExclusions(m_state.data, m_config.exclusionSetting);
    return buildColumnLine(m_state.data, listColumnsSetting(m_ini));
}

void WorkList::addWorkListLine() {
    try {
        m_host.addLine(buildListLine());
        m_status.stepSucceeded(ProblemStep::HostWorkList);
        return;
    } catch (const UnexpectedError& error) {
        // A new list object starts with Clear: only a list object that is gone is replaced,
        // never one that is busy or refused the call, whose list the operator still has.
        if (error.failure() != CallFailure::ObjectGone) {
            m_status.showProblem(ProblemStep::HostWorkList,
                                 std::string(texts::kWorkListUnavailable) + error.what());
            return;
        }
        m_log.write(LogKind::Error, "AddLine failed (" + std::string(error.what()) +
                                        "); the list object is created anew");
    }
    try {
        m_host.recreateWorkList();
        m_host.addLine(buildListLine());
        m_status.stepSucceeded(ProblemStep::HostWorkList);
    } catch (const UnexpectedError& error) {
        m_status.showProblem(ProblemStep::HostWorkList,
                             std::string(texts::kWorkListUnavailable) + error.what());
    }
}

} // namespace lumetra
