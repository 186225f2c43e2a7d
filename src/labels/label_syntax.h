// The syntax of label texts: commands, field-code barcodes, framed records, plain labels.
#pragma once

#include "base/label_data.h"

#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

enum class LabelKind { Command, FieldCode, Record, Plain };

// "%START%", "%STOP%", "%END%", "%CLEAR%", "%SETPOINT%" or "%SETP%", exactly.
bool isCommand(std::string_view text);

// The inner text of a field-code barcode: the trimmed text from its second character,
// for (length of the untrimmed text − 2) characters.
std::string fieldCodeInner(std::string_view text);

// Whether the text is a field-code barcode: 3 to 5 characters with a field code inside.
bool isFieldCodeBarcode(const FieldCodeTable& table, std::string_view text);

LabelKind classifyLabel(const FieldCodeTable& table, std::string_view text);

// Record type and count digits read by value: "0".."9" are 0..9, any other character 0.
int digitValue(char c);

// A record's type character must be a digit; any other is refused.
inline bool isRecordType(char c) {
    return c >= '0' && c <= '9';
}

struct RecordHeader {
    char typeCharacter = '\0';
    int type = 0;
    int count = 0;         // the count digit; 9 is taken as 1
    bool repeated = false; // the count digit was 9: the line is repeated 999 times
};

// The header of a framed text; none for a text of fewer than three characters.
std::optional<RecordHeader> readRecordHeader(std::string_view text);

// The next space-separated value of `text`, cut from where the cursor stands. The empty
// text resets the cursor. Adjacent spaces give an empty value; past the end gives "".
std::string nextToken(TokenCursor& cursor, const std::string& text);

} // namespace lumetra
