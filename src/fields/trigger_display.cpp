#include "fields/trigger_display.h"

#include <algorithm>

namespace lumetra {

int triggerMaximum(AutoSelSource source, std::size_t length) {
    // A trigger as long as the source or longer leaves no place; position 1 stays usable.
    return std::max(1, sourceWidth(source) - static_cast<int>(std::min<std::size_t>(length, 1000)));
}

void placeText(TriggerDisplay& display, AutoSelSource source) {
    if (!readsTextSource(source)) {
        display.enabled = false;
        return;
    }
    display.enabled = true;
    const int width = sourceWidth(source);
    display.maximum = triggerMaximum(source, display.text.size());
    display.position = std::clamp(display.position, 1, display.maximum);
    display.leftLabel = std::to_string(display.position) + " From Left";
    display.rightLabel = std::to_string(display.maximum + 1 - display.position) + " From Right";
    std::string shown(static_cast<std::size_t>(width - 1), '?');
    const auto start = static_cast<std::size_t>(display.position - 1);
    for (std::size_t i = 0; i < display.text.size() && start + i < shown.size(); ++i)
        shown[start + i] = display.text[i];
    display.templateText = shown;
}

void getAutoSel(FieldSelectionSettings& settings, const TriggerDisplay& display) {
    if (!readsTextSource(settings.source))
        return;
    MirrorTrigger& trigger = settings.trigger(settings.source, settings.mirrorMode);
    trigger.fromLeft = display.fromLeft;
    trigger.position = static_cast<std::int16_t>(display.position);
    trigger.text = display.text;
    (settings.source == AutoSelSource::ProgramName ? settings.programNameMode
                                                   : settings.commentMode) = settings.mirrorMode;
}

void setAutoSel(FieldSelectionSettings& settings, TriggerDisplay& display) {
    if (!readsTextSource(settings.source))
        return;
    MirrorTrigger& trigger = settings.trigger(settings.source, settings.mirrorMode);
    display.fromLeft = trigger.fromLeft;
    // Clamped to the range of the trigger being shown, not of the one shown before.
    display.text = trigger.text;
    display.maximum = triggerMaximum(settings.source, trigger.text.size());
    trigger.position =
        static_cast<std::int16_t>(std::clamp<int>(trigger.position, 1, display.maximum));
    display.position = trigger.position;
    placeText(display, settings.source);
}

} // namespace lumetra
