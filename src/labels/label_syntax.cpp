#include "labels/label_syntax.h"

#include "common/text.h"

#include <array>

namespace lumetra {

bool isCommand(std::string_view text) {
    static constexpr std::array<std::string_view, 6> kCommands = {
        "%START%", "%STOP%", "%END%", "%CLEAR%", "%SETPOINT%", "%SETP%"};
    for (std::string_view command : kCommands)
        if (text == command)
            return true;
    return false;
}

std::string fieldCodeInner(std::string_view text) {
    if (text.size() < 2)
        return {};
    const std::string trimmed = trim(text);
    if (trimmed.size() < 2)
        return {};
    return trimmed.substr(1, text.size() - 2);
}

bool isFieldCodeBarcode(const FieldCodeTable& table, std::string_view text) {
    return text.size() >= 3 && text.size() <= 5 && isFieldCode(table, fieldCodeInner(text));
}

LabelKind classifyLabel(const FieldCodeTable& table, std::string_view text) {
    if (isCommand(text))
        return LabelKind::Command;
    if (isFieldCodeBarcode(table, text))
        return LabelKind::FieldCode;
    if (text.find_first_of("%$") != std::string_view::npos)
        return LabelKind::Record;
    return LabelKind::Plain;
}

int digitValue(char c) {
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

std::optional<RecordHeader> readRecordHeader(std::string_view text) {
    if (text.size() < 3)
        return std::nullopt;
    RecordHeader header;
    header.typeCharacter = text[1];
    header.type = digitValue(text[1]);
    header.count = digitValue(text[2]);
    if (header.count == 9) {
        header.repeated = true;
        header.count = 1;
    }
    return header;
}

std::string nextToken(TokenCursor& cursor, const std::string& text) {
    if (text.empty()) {
        cursor.text.clear();
        cursor.position = 0;
        return {};
    }
    if (cursor.position >= text.size())
        return {};
    if (text != cursor.text)
        cursor.position = 0;
    const auto space = text.find(' ', cursor.position);
    const std::size_t end = space == std::string::npos ? text.size() : space + 1;
    std::string value = trim(std::string_view(text).substr(cursor.position, end - cursor.position));
    cursor.position = space == std::string::npos ? text.size() + 1 : end;
    cursor.text = text;
    return value;
}

} // namespace lumetra
