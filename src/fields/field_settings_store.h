// Reading and writing the field selection settings in the INI file.
#pragma once

#include "base/ini_file.h"
#include "fields/trigger_display.h"

namespace lumetra {

// Reads every key in order, then shows the active trigger (SetAutoSel).
void loadFieldSelectionSettings(const IniFile& ini, FieldSelectionSettings& settings,
                                TriggerDisplay& display);

// Captures the displayed trigger (GetAutoSel), then writes every key in order.
// A text as written so that the profile functions read it back unchanged: in quotes when
// it has blanks at its ends or is itself enclosed in quotes.
std::string profileText(std::string_view text);

void saveFieldSelectionSettings(const IniFile& ini, FieldSelectionSettings& settings,
                                const TriggerDisplay& display);

// A numeric key: the leading-number value rounded to a 16-bit integer, halves to even
// (values beyond the range are held at its ends).
std::int16_t settingNumber(std::string_view text);

} // namespace lumetra
