// What the setup dialog shows of the mirror trigger: the source and mode chosen, the
// from-left choice, the position control, the trigger text, the template with the text
// placed in it and the two position labels. The mirror trigger reads these values.
#pragma once

#include "fields/field_settings.h"

#include <string>

namespace lumetra {

struct TriggerDisplay {
    bool fromLeft = true;
    int position = 1;
    int maximum = 25; // the position control's range is 1..maximum
    std::string text; // MSpec
    bool enabled = false;
    std::string templateText; // LabDispStr
    std::string leftLabel;    // PosDispLeft
    std::string rightLabel;   // PosDispRight
};

// The largest position a trigger of `length` characters leaves (at least 1).
int triggerMaximum(AutoSelSource source, std::size_t length);

// Refreshes the display for the selected source (PlaceText).
void placeText(TriggerDisplay& display, AutoSelSource source);

// GetAutoSel: stores the displayed trigger into the definition of the current source and mode.
void getAutoSel(FieldSelectionSettings& settings, const TriggerDisplay& display);
// SetAutoSel: shows the definition of the current source and mode, its position clamped
// to the control's current range (and the clamped value stored back).
void setAutoSel(FieldSelectionSettings& settings, TriggerDisplay& display);

} // namespace lumetra
