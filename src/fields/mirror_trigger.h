// The mirror trigger: characters at a set place of the program name or the program
// comment that make a piece mirrored, or a normal and a mirrored pair.
#pragma once

#include "base/label_data.h"
#include "fields/trigger_display.h"

namespace lumetra {

// Looks for the displayed trigger in the source text. On a text source it sets
// fieldCode to "W" (match) or "P" (none). True when a normal and a mirrored line are due.
bool checkMirrorTrigger(const FieldSelectionSettings& settings, const TriggerDisplay& display,
                        LabelState& state);

} // namespace lumetra
