// LabelData: the text values of one work-list line, and the state kept beside it.
#pragma once

#include "base/host_setup.h"

#include <array>
#include <string>
#include <string_view>

namespace lumetra {

struct LabelData {
    std::string programName;
    std::string repetitions;
    std::string fieldCode;
    std::string listColumn4;
    std::string dimX;
    std::string dimY;
    std::string dimZ;
    std::string comment;
    std::string listColumn9;
    std::string exclusions;
    std::string listColumn11;
    std::string varA;
    std::string varB;
    std::string varC;
    std::string varD;
    std::string varE;
    std::string varF;
    std::string varG;
    std::string varI;
};

// The nineteen fields in work-list column order.
inline constexpr std::size_t kListColumns = 19;
inline constexpr std::array<std::string LabelData::*, kListColumns> kColumnOrder = {
    &LabelData::programName, &LabelData::repetitions,  &LabelData::fieldCode,
    &LabelData::listColumn4, &LabelData::dimX,         &LabelData::dimY,
    &LabelData::dimZ,        &LabelData::comment,      &LabelData::listColumn9,
    &LabelData::exclusions,  &LabelData::listColumn11, &LabelData::varA,
    &LabelData::varB,        &LabelData::varC,         &LabelData::varD,
    &LabelData::varE,        &LabelData::varF,         &LabelData::varG,
    &LabelData::varI};

inline constexpr std::size_t kFieldCodeCount = 36;
using FieldCodeTable = std::array<std::string, kFieldCodeCount>;

// The cursor of nextToken: the text it last cut and how many characters it consumed.
struct TokenCursor {
    std::string text;
    std::size_t position = 0;
};

struct LabelState {
    LabelData data;
    bool fieldSelected = false;
    std::string receivedTypes;
    bool listResetPending = false;
    std::string programComment;
    std::string lastProgramName;
    std::string lastProgramComment;
    FieldCodeTable fieldCodeTable;
    TokenCursor cursor;
};

// The 36 field codes, in table order (index 1 is "N").
void fillFieldCodeTable(FieldCodeTable& table);

// The reset values of the host variant; with the console the eight variables keep theirs.
// A field chosen by a field-code barcode ends with the reset.
void resetLabelData(LabelState& state, const HostSetup& host);

// Ends a label whose records were collected but which did not complete: its values are
// reset, and a field chosen by a field-code barcode stays chosen. False when no label
// was in progress.
bool discardUnfinishedLabel(LabelState& state, const HostSetup& host);

// True when `text` is one of the table's codes (exact comparison).
bool isFieldCode(const FieldCodeTable& table, std::string_view text);

// Position 1..36 of the code in the table, or 37 when it is not there.
int fieldCodePosition(const FieldCodeTable& table, std::string_view code);

} // namespace lumetra
