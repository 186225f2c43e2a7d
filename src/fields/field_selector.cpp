#include "fields/field_selector.h"

#include "common/text.h"

#include <vector>

namespace lumetra {

namespace {

enum class Fit { XY, X, Y, Always };

struct Candidate {
    Slot slot;
    Fit fit;
};

using Candidates = std::vector<Candidate>;

// Candidate lists by mirror state and rightHalfFirst. In the normal right-first list SFS
// comes after FFN and BFN, unlike SFA in the mirror list.
const Candidates& candidates(bool mirror, bool rightHalfFirst) {
    static const Candidates kNormalLeft = {
        {Slot::FFS, Fit::XY}, {Slot::BFS, Fit::XY}, {Slot::SFS, Fit::X},
        {Slot::FFT, Fit::XY}, {Slot::BFT, Fit::XY}, {Slot::SFT, Fit::X},
        {Slot::FFN, Fit::Y},  {Slot::BFN, Fit::Y},  {Slot::SFN, Fit::Always}};
    static const Candidates kNormalRight = {
        {Slot::FFT, Fit::XY}, {Slot::BFT, Fit::XY}, {Slot::SFT, Fit::X},
        {Slot::FFS, Fit::XY}, {Slot::BFS, Fit::XY}, {Slot::FFN, Fit::Y},
        {Slot::BFN, Fit::Y},  {Slot::SFS, Fit::X},  {Slot::SFN, Fit::Always}};
    static const Candidates kMirrorLeft = {
        {Slot::FFA, Fit::XY}, {Slot::BFA, Fit::XY}, {Slot::SFA, Fit::X},
        {Slot::FFR, Fit::XY}, {Slot::BFR, Fit::XY}, {Slot::SFR, Fit::X},
        {Slot::FFM, Fit::Y},  {Slot::BFM, Fit::Y},  {Slot::SFM, Fit::Always}};
    static const Candidates kMirrorRight = {
        {Slot::FFR, Fit::XY}, {Slot::BFR, Fit::XY}, {Slot::SFR, Fit::X},
        {Slot::FFA, Fit::XY}, {Slot::BFA, Fit::XY}, {Slot::SFA, Fit::X},
        {Slot::FFM, Fit::Y},  {Slot::BFM, Fit::Y},  {Slot::SFM, Fit::Always}};
    if (mirror)
        return rightHalfFirst ? kMirrorRight : kMirrorLeft;
    return rightHalfFirst ? kNormalRight : kNormalLeft;
}

constexpr float kInchesPerMillimetre = 0.03937f;

} // namespace

FieldSelector::FieldSelector(const FieldSelectionSettings& settings, FieldSelectorState& state,
                             LabelData& data, Panel& panel)
    : m_settings(settings), m_state(state), m_data(data), m_panel(panel) {}

void FieldSelector::seed(bool fromFieldBarcode) {
    if (fromFieldBarcode)
        m_state.applyNextMirror = true;
    if (m_data.fieldCode.empty())
        return;
    switch (m_data.fieldCode.front()) {
    case 'S':
    case 'N':
        m_state.rightHalfFirst = false;
        m_state.nextMirror = false;
        break;
    case 'A':
        m_state.rightHalfFirst = false;
        m_state.nextMirror = true;
        break;
    case 'T':
        m_state.rightHalfFirst = true;
        m_state.nextMirror = false;
        break;
    case 'R':
    case 'M':
        m_state.rightHalfFirst = true;
        m_state.nextMirror = true;
        break;
    default:
        break;
    }
}

std::string FieldSelector::pick(bool mirror, float dimX, float dimY) {
    const float unitFactor = (dimY >= 60.0f || dimX >= 140.0f) ? 1.0f : kInchesPerMillimetre;
    // Each limit is the half limit times the unit factor, rounded to single precision once.
    const float limitY = toSingle(leadingNumber(m_settings.halfLimitY) * unitFactor);
    const bool fitsHalfY = limitY > dimY;
    const float limitX = toSingle(leadingNumber(m_settings.halfLimitX) * unitFactor);
    const bool fitsHalfX = limitX > dimX;

    const Candidates& list = candidates(mirror, m_state.rightHalfFirst);
    const Candidate* chosen = &list.back();
    for (const Candidate& candidate : list) {
        const bool fits = candidate.fit == Fit::XY  ? fitsHalfX && fitsHalfY
                          : candidate.fit == Fit::X ? fitsHalfX
                          : candidate.fit == Fit::Y ? fitsHalfY
                                                    : true;
        const FieldSlot& slot = m_settings.slot(candidate.slot);
        if (candidate.fit == Fit::Always || (slot.enabled && fits)) {
            chosen = &candidate;
            break;
        }
    }
    m_state.nextMirror = !mirror;
    m_state.rightHalfFirst = !m_state.rightHalfFirst;
    return m_settings.slot(chosen->slot).code;
}

std::string FieldSelector::selectField(SelectionMode mode, float dimX, float dimY) {
    if (mode == SelectionMode::SeedFromLetter || mode == SelectionMode::SeedFromFieldBarcode) {
        seed(mode == SelectionMode::SeedFromFieldBarcode);
        return {};
    }
    bool mirror = mode == SelectionMode::AutoMirror;
    if (mode == SelectionMode::AutoAlternate || m_state.applyNextMirror) {
        mirror = m_state.nextMirror;
        m_state.applyNextMirror = false;
    }
    return pick(mirror, dimX, dimY);
}

void FieldSelector::resolveLineField(float dimX, float dimY) {
    SelectionMode mode;
    // Only an empty code is empty: a code that begins with a NUL byte is a code.
    switch (m_data.fieldCode.empty() ? 'P' : m_data.fieldCode.front()) {
    case '&':
        mode = SelectionMode::AutoAlternate;
        break;
    case 'P':
        mode = SelectionMode::AutoNormal;
        break;
    case 'W':
        mode = SelectionMode::AutoMirror;
        break;
    case 'N':
    case 'S':
    case 'A':
    case 'T':
    case 'R':
    case 'M':
        selectField(SelectionMode::SeedFromLetter, 0, 0);
        return;
    default:
        return;
    }
    m_panel.setAutoFieldVisible(true);
    m_data.fieldCode = selectField(mode, dimX, dimY);
}

} // namespace lumetra
