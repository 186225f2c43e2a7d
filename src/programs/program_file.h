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

// A panel's dimensions as single-precision numbers.
struct Dimensions {
    float x = 0;
    float y = 0;
    float z = 0;
};

struct ProgramHead {
    ProgramHeadResult result = ProgramHeadResult::Stopped;
    // The given dimensions, changed only where the file states a value.
    Dimensions dimensions;
    // Set when the head gets that far.
    std::optional<std::string> comment;
};

// Reads the head from `lines`. Stopped: the text ended early or an ISO value was not a
// number (what was stored before stays).
ProgramHead readProgramHead(LineReader& lines, Dimensions given);

// The ISO conversion of a whole text: surrounding spaces allowed, "." as decimal point.
std::optional<float> wholeTextNumber(std::string_view text);

class ProgramFileReader {
public:
    ProgramFileReader(LabelState& state, const Configuration& config, const Paths& paths,
                      Dialogs& dialogs, OperatorLog& log);

    // Reads the program file of programName in the program folder: the given dimensions,
    // changed where the file states them. Sets programComment. Never fails to the caller;
    // its only message is " Not a proper program file".
    Dimensions readProgramFile(Dimensions given);

    // Dimensions that read 0 are taken from the program file, written in the
    // single-precision text form ("0" where the file gives none). The values of the three
    // texts afterwards.
    Dimensions completeDimensions();

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
