#include "fields/mirror_trigger.h"

#include "common/text.h"

namespace lumetra {

bool checkMirrorTrigger(const FieldSelectionSettings& settings, const TriggerDisplay& display,
                        LabelState& state) {
    std::string source;
    if (settings.source == AutoSelSource::ProgramName)
        source = toUpper(trim(state.data.programName));
    else if (settings.source == AutoSelSource::Comment)
        source = toUpper(trim(state.programComment));
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

    if (settings.source == AutoSelSource::ProgramName || settings.source == AutoSelSource::Comment)
        state.data.fieldCode.assign(1, match ? 'W' : 'P');
    return match && settings.mirrorMode == MirrorMode::NormAndMirror;
}

} // namespace lumetra
