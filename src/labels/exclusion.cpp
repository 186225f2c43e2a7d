#include "labels/exclusion.h"

#include "common/text.h"

namespace lumetra {

std::string exclusionDigits(std::string_view setting) {
    std::string digits;
    for (std::size_t i = 0; i < 8 && i < setting.size(); ++i)
        if (setting[i] == '1')
            digits += static_cast<char>('1' + i);
    return digits;
}

std::string exclusionCaption(std::string_view setting) {
    return " Exclusion Number " + exclusionDigits(setting) + "  for insertion.";
}

std::optional<std::string> startupExclusionCaption(std::string_view setting) {
    if (leadingNumber(setting) == 0.0)
        return std::nullopt;
    return exclusionCaption(setting);
}

} // namespace lumetra

namespace lumetra {

ExclusionInsertion::ExclusionInsertion(Configuration& config, const IniFile& ini, Panel& panel,
                                       ExclusionDialog& dialog)
    : m_config(config), m_ini(ini), m_panel(panel), m_dialog(dialog) {}

ExclusionBoxes ExclusionInsertion::boxesFor(std::string_view setting) {
    ExclusionBoxes boxes{};
    for (std::size_t i = 0; i < boxes.size() && i < setting.size(); ++i)
        boxes[i] = setting[i] == '1';
    return boxes;
}

std::string ExclusionInsertion::settingFor(const ExclusionBoxes& boxes) {
    std::string setting;
    for (bool checked : boxes)
        setting += checked ? '1' : '0';
    return setting;
}

void ExclusionInsertion::showDialog() {
    const auto boxes = m_dialog.run(boxesFor(m_config.exclusionSetting));
    if (!boxes)
        return;
    m_config.exclusionSetting = settingFor(*boxes);
    m_ini.write(kMainSection, "Exclusion", m_config.exclusionSetting);
    if (exclusionDigits(m_config.exclusionSetting).empty()) {
        m_panel.setExclusionCaption(std::nullopt);
    } else {
        const std::string caption = exclusionCaption(m_config.exclusionSetting);
        m_panel.setExclusionCaption(caption);
    }
}

} // namespace lumetra
