#include "fields/field_selection_setup.h"

#include "common/text.h"

namespace lumetra {

FieldSelectionSetup::FieldSelectionSetup(FieldSelectionSettings& settings, TriggerDisplay& display,
                                         const LabelState& labels, const IniFile& ini)
    : m_settings(settings), m_display(display), m_labels(labels), m_ini(ini) {}

void FieldSelectionSetup::load() {
    loadFieldSelectionSettings(m_ini, m_settings, m_display);
}

void FieldSelectionSetup::sourceClicked(AutoSelSource source) {
    // The shown trigger is kept before another is shown, however the option was chosen.
    getAutoSel(m_settings, m_display);
    m_settings.source = source;
    setAutoSel(m_settings, m_display);
    placeText(m_display, m_settings.source);
}

void FieldSelectionSetup::modeClicked(MirrorMode mode) {
    getAutoSel(m_settings, m_display);
    m_settings.mirrorMode = mode;
    setAutoSel(m_settings, m_display);
    placeText(m_display, m_settings.source);
}

void FieldSelectionSetup::triggerTextChanged(const std::string& text) {
    m_display.text = text;
    placeText(m_display, m_settings.source);
}

void FieldSelectionSetup::alignmentClicked(bool fromLeft) {
    m_display.fromLeft = fromLeft;
    placeText(m_display, m_settings.source);
}

void FieldSelectionSetup::positionMoved(int position) {
    m_display.position = position;
    placeText(m_display, m_settings.source);
}

void FieldSelectionSetup::templateDoubleClicked() {
    if (readsTextSource(m_settings.source))
        m_display.templateText = trim(
            sourceText(m_settings.source, m_labels.lastProgramName, m_labels.lastProgramComment));
}

void FieldSelectionSetup::slotCodeEdited(Slot slot, const std::string& code) {
    m_settings.slot(slot).code = code;
}

void FieldSelectionSetup::slotEnabled(Slot slot, bool enabled) {
    m_settings.slot(slot).enabled = enabled;
}

void FieldSelectionSetup::halfLimitEdited(bool xAxis, const std::string& text) {
    (xAxis ? m_settings.halfLimitX : m_settings.halfLimitY) = text;
}

std::vector<Slot> FieldSelectionSetup::slotsOnTab(int tab) {
    if (tab == 1)
        return {Slot::SFS, Slot::SFA, Slot::SFT, Slot::SFR};
    if (tab == 2)
        return {Slot::BFN, Slot::FFN, Slot::BFM, Slot::FFM, Slot::BFS, Slot::FFS,
                Slot::BFA, Slot::FFA, Slot::BFT, Slot::FFT, Slot::BFR, Slot::FFR};
    return {};
}

void FieldSelectionSetup::setAllOnTab(int tab, bool enabled) {
    for (Slot slot : slotsOnTab(tab))
        m_settings.slot(slot).enabled = enabled;
}

void FieldSelectionSetup::ok() {
    saveFieldSelectionSettings(m_ini, m_settings, m_display);
}

} // namespace lumetra
