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
#include <tuple>

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

ProgramHead readProgramHead(LineReader& lines, Dimensions given) {
    ProgramHead head{ProgramHeadResult::Stopped, given, std::nullopt};
    Dimensions& d = head.dimensions;
    const auto first = nextNonEmpty(lines);
    if (!first)
        return head;
    const auto second = nextNonEmpty(lines);
    if (!second)
        return head;

    if (contains(toUpper(*first), "ORX")) {
        std::optional<std::string> dimensions;
        while ((dimensions = nextNonEmpty(lines)) && !contains(toUpper(*dimensions), "UN")) {
        }
        if (!dimensions)
            return head;
        const FieldSplitter fields(" =\r", *dimensions);
        d = {leadingSingle(fields.field(3)), leadingSingle(fields.field(5)),
             leadingSingle(fields.field(7))};
        head.comment = second->size() > 2 ? second->substr(2) : std::string{};
        head.result = ProgramHeadResult::Read;
        return head;
    }

    const std::string header = toUpper(trim(*first));
    if (startsWith(header, "G71") || startsWith(header, "G70")) {
        const FieldSplitter fields("XYZT", header);
        for (auto [n, target] : {std::pair{2, &d.x}, std::pair{3, &d.y}, std::pair{4, &d.z}}) {
            const auto value = wholeTextNumber(fields.field(static_cast<std::size_t>(n)));
            if (!value)
                return head;
            *target = *value;
        }
        head.comment = FieldSplitter("()", trim(*second)).field(2);
        head.result = ProgramHeadResult::Read;
        return head;
    }
    head.result = ProgramHeadResult::NotProgramFile;
    return head;
}

ProgramFileReader::ProgramFileReader(LabelState& state, const Configuration& config,
                                     const Paths& paths, Dialogs& dialogs, OperatorLog& log)
    : m_state(state), m_config(config), m_paths(paths), m_dialogs(dialogs), m_log(log) {}

std::string ProgramFileReader::programPath() const {
    return m_config.gcodePath + programFileName(m_state.data.programName);
}

Dimensions ProgramFileReader::readProgramFile(Dimensions given) {
    m_state.programComment.clear();
    const std::string path = programPath();
    if (!isSafeName(trim(m_state.data.programName))) {
        m_log.write(LogKind::Error, "program name refused as a path: " + m_state.data.programName);
        return given;
    }
    const std::string mapped = m_paths.map(path);
    if (leadsOutsideItsFolder(mapped)) {
        m_log.write(LogKind::Error, "program file not read: a link at " + path +
                                        " leads out of the program folder");
        return given;
    }
    const std::filesystem::path native = fileSystemPath(mapped);
    std::error_code error;
    if (!std::filesystem::is_regular_file(native, error))
        return given;
    std::ifstream in(native, std::ios::binary);
    if (!in)
        return given;
    LineReader lines(in);
    const ProgramHead head = readProgramHead(lines, given);
    m_state.programComment = head.comment.value_or(std::string{});
    if (head.result == ProgramHeadResult::NotProgramFile)
        m_dialogs.message(path + std::string(texts::kNotProgramFile), Icon::None, Buttons::Ok);
    return head.dimensions;
}

Dimensions ProgramFileReader::completeDimensions() {
    LabelData& d = m_state.data;
    const Dimensions stated{leadingSingle(d.dimX), leadingSingle(d.dimY), leadingSingle(d.dimZ)};
    if (stated.x == 0 || stated.y == 0 || stated.z == 0) {
        const Dimensions read = readProgramFile(stated);
        for (auto [given, value, text] :
             {std::tuple{stated.x, read.x, &d.dimX}, std::tuple{stated.y, read.y, &d.dimY},
              std::tuple{stated.z, read.z, &d.dimZ}})
            if (given == 0)
                *text = singleText(value);
    }
    return {leadingSingle(d.dimX), leadingSingle(d.dimY), leadingSingle(d.dimZ)};
}

} // namespace lumetra
