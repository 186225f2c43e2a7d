// The setup dialog's behaviour, without widgets: every handler of MacFlds acts on the
// live settings and the trigger display here; the dialog only shows them.
#pragma once

#include "base/label_data.h"
#include "fields/field_settings_store.h"

#include <vector>

namespace lumetra {

class FieldSelectionSetup {
public:
    FieldSelectionSetup(FieldSelectionSettings& settings, TriggerDisplay& display,
                        const LabelState& labels, const IniFile& ini);

    void load();
    // A source or mode option chosen, by mouse or keyboard: the shown trigger is kept
    // first, then the chosen one is shown.
    void sourceClicked(AutoSelSource source);
    void modeClicked(MirrorMode mode);
    void triggerTextChanged(const std::string& text);
    void alignmentClicked(bool fromLeft);
    void positionMoved(int position);
    // Shows the last line's program name or comment in the template until the next refresh.
    void templateDoubleClicked();
    void slotCodeEdited(Slot slot, const std::string& code);
    void slotEnabled(Slot slot, bool enabled);
    void halfLimitEdited(bool xAxis, const std::string& text);
    // Set All / Clear All on tab 1 (standard fields) or 2 (front and back).
    void setAllOnTab(int tab, bool enabled);
    void ok();

    // The slots whose enable boxes a tab's Set All and Clear All reach.
    static std::vector<Slot> slotsOnTab(int tab);

    const FieldSelectionSettings& settings() const { return m_settings; }
    const TriggerDisplay& display() const { return m_display; }

private:
    FieldSelectionSettings& m_settings;
    TriggerDisplay& m_display;
    const LabelState& m_labels;
    const IniFile& m_ini;
};

} // namespace lumetra
