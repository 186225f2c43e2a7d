// Automatic choice of the machine work field from the piece's size, the enabled slots,
// the mirror state and the alternation between the table's halves.
#pragma once

#include "base/label_data.h"
#include "fields/field_settings.h"
#include "platform/panel.h"

namespace lumetra {

enum class SelectionMode {
    AutoNormal,
    AutoMirror,
    AutoAlternate,
    SeedFromLetter,
    SeedFromFieldBarcode
};

struct FieldSelectorState {
    bool rightHalfFirst = false;
    bool nextMirror = false;
    bool applyNextMirror = false;
};

class FieldSelector {
public:
    FieldSelector(const FieldSelectionSettings& settings, FieldSelectorState& state,
                  LabelData& data, Panel& panel);

    // Picking modes return the chosen slot's code; seeding modes return "".
    std::string selectField(SelectionMode mode, float dimX, float dimY);
    // Settles fieldCode for one line from its first character.
    void resolveLineField(float dimX, float dimY);

private:
    void seed(bool fromFieldBarcode);
    std::string pick(bool mirror, float dimX, float dimY);

    const FieldSelectionSettings& m_settings;
    FieldSelectorState& m_state;
    LabelData& m_data;
    Panel& m_panel;
};

} // namespace lumetra
