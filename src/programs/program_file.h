// The head of a program file: the panel's dimensions and the program comment, in the
// ORX header form or the ISO header form (first line G70 or G71).
#pragma once

#include "base/configuration.h"
#include "base/label_data.h"
#include "base/operator_log.h"
#include "common/line_reader.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

#include <optional>
#include <string>

namespace lumetra {

enum class ProgramHeadResult { Read, Stopped, NotProgramFile };

// Reads the head from `lines`. x, y and z change only where the file states a value;
// `comment` is set when the head gets that far. Stopped: the text ended early or an ISO
// value was not a number (what was stored before stays).
ProgramHeadResult readProgramHead(LineReader& lines, float& x, float& y, float& z,
                                  std::string& comment);

// The ISO conversion of a whole text: surrounding spaces allowed, "." as decimal point.
std::optional<float> wholeTextNumber(std::string_view text);

class ProgramFileReader {
public:
    ProgramFileReader(LabelState& state, const Configuration& config, const Paths& paths,
                      Dialogs& dialogs, OperatorLog& log);

    // Reads the program file of programName in the program folder; sets programComment.
    // Never fails to the caller; its only message is " Not a proper program file".
    void readProgramFile(float& x, float& y, float& z);

    // Dimensions that read 0 are taken from the program file, written in the
    // single-precision text form ("0" where the file gives none). x, y and z receive the
    // values of the three texts afterwards.
    void completeDimensions(float& x, float& y, float& z);

    // GCodePath followed directly by the name, trimmed: the program file's path.
    std::string programPath() const;

private:
    LabelState& m_state;
    const Configuration& m_config;
    const Paths& m_paths;
    Dialogs& m_dialogs;
    OperatorLog& m_log;
};

} // namespace lumetra
