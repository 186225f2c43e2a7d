// The exclusion insertion setting: eight characters, "1" at position i inserts exclusion i.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

// The positions 1 to 8 that hold "1", one digit each («10100000» gives "13").
std::string exclusionDigits(std::string_view setting);

// " Exclusion Number <digits>  for insertion."
std::string exclusionCaption(std::string_view setting);

// ExLab at start-up: shown when the setting reads a number other than 0.
std::optional<std::string> startupExclusionCaption(std::string_view setting);

} // namespace lumetra

#include "base/configuration.h"
#include "base/ini_file.h"
#include "base/operator_log.h"
#include "platform/panel.h"

#include <array>

namespace lumetra {

using ExclusionBoxes = std::array<bool, 8>; // ExCk(1)..ExCk(8)

class ExclusionDialog {
public:
    virtual ~ExclusionDialog() = default;
    // Shows ExInsForm modally with the boxes checked; the boxes on OK, none on Cancel.
    virtual std::optional<ExclusionBoxes> run(const ExclusionBoxes& checked) = 0;
};

// The exclusion insertion setting as the dialog edits it.
class ExclusionInsertion {
public:
    ExclusionInsertion(Configuration& config, const IniFile& ini, Panel& panel,
                       ExclusionDialog& dialog);

    // Opens the dialog; OK stores the setting in memory and in the INI file and sets ExLab.
    void showDialog();

    // Box i is checked when character i of the setting is "1".
    static ExclusionBoxes boxesFor(std::string_view setting);
    // "1" for each checked box, else "0".
    static std::string settingFor(const ExclusionBoxes& boxes);

private:
    Configuration& m_config;
    const IniFile& m_ini;
    Panel& m_panel;
    ExclusionDialog& m_dialog;
};

class CancelledExclusionDialog final : public ExclusionDialog {
public:
    explicit CancelledExclusionDialog(OperatorLog& log) : m_log(log) {}
    std::optional<ExclusionBoxes> run(const ExclusionBoxes&) override {
        m_log.write(LogKind::Message, "Exclusion Insertion [dialog; Cancel]");
        return std::nullopt;
    }

private:
    OperatorLog& m_log;
};

} // namespace lumetra
