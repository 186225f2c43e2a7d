#include "base/label_data.h"

#include <algorithm>

namespace lumetra {

void fillFieldCodeTable(FieldCodeTable& table) {
    static constexpr std::array<std::string_view, 6> kLetters = {"N", "M", "S", "A", "T", "R"};
    static constexpr std::array<std::string_view, 6> kSuffixes = {"", "1", "/", "1/", "/0", "/1"};
    std::size_t index = 0;
    for (std::string_view suffix : kSuffixes)
        for (std::string_view letter : kLetters)
            table[index++] = std::string(letter) + std::string(suffix);
}

void resetLabelData(LabelState& state, const HostSetup& host) {
    state.fieldSelected = false;
    LabelData& d = state.data;
    const std::string blank = host.consolePresent ? "" : " ";
    for (std::string LabelData::*field :
         {&LabelData::programName, &LabelData::dimX, &LabelData::dimY, &LabelData::dimZ,
          &LabelData::comment, &LabelData::listColumn9, &LabelData::exclusions,
          &LabelData::listColumn11})
        d.*field = blank;
    d.repetitions = "1";
    d.listColumn4 = "1";
    d.fieldCode = host.consolePresent ? "N" : " ";
    if (!host.consolePresent)
        for (std::string LabelData::*field :
             {&LabelData::varA, &LabelData::varB, &LabelData::varC, &LabelData::varD,
              &LabelData::varE, &LabelData::varF, &LabelData::varG, &LabelData::varI})
            d.*field = " ";
}

bool discardUnfinishedLabel(LabelState& state, const HostSetup& host) {
    if (state.receivedTypes.empty())
        return false;
    const bool keepField = state.fieldSelected;
    std::string fieldCode = std::move(state.data.fieldCode);
    resetLabelData(state, host);
    if (keepField) {
        state.data.fieldCode = std::move(fieldCode);
        state.fieldSelected = true;
    }
    state.receivedTypes.clear();
    return true;
}

bool isFieldCode(const FieldCodeTable& table, std::string_view text) {
    return std::find(table.begin(), table.end(), text) != table.end();
}

int fieldCodePosition(const FieldCodeTable& table, std::string_view code) {
    const auto it = std::find(table.begin(), table.end(), code);
    return it == table.end() ? static_cast<int>(kFieldCodeCount) + 1
                             : static_cast<int>(it - table.begin()) + 1;
}

} // namespace lumetra
