#include "programs/program_file.h"

#include "common/field_splitter.h"
#include "common/safe_name.h"
#include "common/status_texts.h"
#include "common/text.h"
#include "platform/files.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

namespace lumetra {

namespace {

bool isNonEmpty(std::string_view line) {
    return line.find_first_not_of(' ') != std::string_view::npos;
}

std::optional<std::string> nextNonEmpty(LineReader& lines) {
    while (auto line = lines.next())
        if (isNonEmpty(*line))
            return line;
    return std::nullopt;
}

} // namespace

std::optional<float> wholeTextNumber(std::string_view text) {
    const std::string trimmed = trim(text);
    if (trimmed.empty())
        return std::nullopt;
    for (char c : trimmed)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '-' ||
              c == 'E' || c == 'e'))
            return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(trimmed.c_str(), &end);
    if (end != trimmed.c_str() + trimmed.size() || !std::isfinite(value) ||
        std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

ProgramHeadResult readProgramHead(LineReader& lines, float& x, float& y, float& z,
                                  std::string& comment) {
    const auto first = nextNonEmpty(lines);
    if (!first)
        return ProgramHeadResult::Stopped;
    const auto second = nextNonEmpty(lines);
    if (!second)
        return ProgramHeadResult::Stopped;

    if (contains(toUpper(*first), "ORX")) {
        std::optional<std::string> dimensions;
        while ((dimensions = nextNonEmpty(lines)) && !contains(toUpper(*dimensions), "UN")) {
        }
        if (!dimensions)
            return ProgramHeadResult::Stopped;
        const FieldSplitter fields(" =\r", *dimensions);
        x = leadingSingle((fields.field(3)));
        y = leadingSingle((fields.field(5)));
        z = leadingSingle((fields.field(7)));
        comment = second->size() > 2 ? second->substr(2) : std::string{};
        return ProgramHeadResult::Read;
    }

    const std::string header = toUpper(trim(*first));
    if (startsWith(header, "G71") || startsWith(header, "G70")) {
        const FieldSplitter fields("XYZT", header);
        for (auto [n, target] : {std::pair{2, &x}, std::pair{3, &y}, std::pair{4, &z}}) {
            const auto value = wholeTextNumber(fields.field(static_cast<std::size_t>(n)));
            if (!value)
                return ProgramHeadResult::Stopped;
            *target = *value;
        }
        comment = FieldSplitter("()", trim(*second)).field(2);
        return ProgramHeadResult::Read;
    }
    return ProgramHeadResult::NotProgramFile;
}

ProgramFileReader::ProgramFileReader(LabelState& state, const Configuration& config,
                                     const Paths& paths, Dialogs& dialogs, OperatorLog& log)
    : m_state(state), m_config(config), m_paths(paths), m_dialogs(dialogs), m_log(log) {}

std::string ProgramFileReader::programPath() const {
    return m_config.gcodePath + programFileName(m_state.data.programName);
}

void ProgramFileReader::readProgramFile(float& x, float& y, float& z) {
    m_state.programComment.clear();
    const std::string path = programPath();
    if (!isSafeName(trim(m_state.data.programName))) {
        m_log.write(LogKind::Error, "program name refused as a path: " + m_state.data.programName);
        return;
    }
    const std::string mapped = m_paths.map(path);
    if (leadsOutsideItsFolder(mapped)) {
        m_log.write(LogKind::Error, "program file not read: a link at " + path +
                                        " leads out of the program folder");
        return;
    }
    const std::filesystem::path native = fileSystemPath(mapped);
    std::error_code error;
    if (!std::filesystem::is_regular_file(native, error))
        return;
    std::ifstream in(native, std::ios::binary);
    if (!in)
        return;
    LineReader lines(in);
    std::string comment;
    const ProgramHeadResult result = readProgramHead(lines, x, y, z, comment);
    m_state.programComment = comment;
    if (result == ProgramHeadResult::NotProgramFile)
        m_dialogs.message(path + std::string(texts::kNotProgramFile), Icon::None, Buttons::Ok);
}

void ProgramFileReader::completeDimensions(float& x, float& y, float& z) {
    LabelData& d = m_state.data;
    std::string* texts[3] = {&d.dimX, &d.dimY, &d.dimZ};
    float values[3];
    for (int i = 0; i < 3; ++i)
        values[i] = leadingSingle((*texts[i]));
    if (values[0] == 0 || values[1] == 0 || values[2] == 0) {
        float read[3] = {values[0], values[1], values[2]};
        readProgramFile(read[0], read[1], read[2]);
        for (int i = 0; i < 3; ++i)
            if (values[i] == 0)
                *texts[i] = singleText(read[i]);
    }
    x = leadingSingle((d.dimX));
    y = leadingSingle((d.dimY));
    z = leadingSingle((d.dimZ));
}

} // namespace lumetra
