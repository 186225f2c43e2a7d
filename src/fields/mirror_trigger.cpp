#include "fields/mirror_trigger.h"

#include "common/text.h"

namespace lumetra {

bool checkMirrorTrigger(const FieldSelectionSettings& settings, const TriggerDisplay& display,
                        LabelState& state) {
    const std::string source =
        toUpper(trim(sourceText(settings.source, state.data.programName, state.programComment)));
    const std::string trigger = toUpper(display.text);
    const auto length = static_cast<long>(trigger.size());
    const auto size = static_cast<long>(source.size());
    if (length == 0 || length > size)
        return false;

    long start = 0; // 1-based
    const long maximum = sourceWidth(settings.source) - length;
    if (display.fromLeft)
        start = maximum < 1 ? 1 : display.position;
    else
        start = maximum < 1 ? size - length + 1 : size - (maximum - display.position);
    bool match = start >= 1 && start + length - 1 <= size &&
                 source.compare(static_cast<std::size_t>(start - 1),
                                static_cast<std::size_t>(length), trigger) == 0;
    if (trigger.front() == '*')
        match = true;

    if (readsTextSource(settings.source))
        state.data.fieldCode.assign(1, match ? 'W' : 'P');
    return match && settings.mirrorMode == MirrorMode::NormAndMirror;
}

} // namespace lumetra
