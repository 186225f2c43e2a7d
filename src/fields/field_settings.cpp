#include "fields/field_settings.h"

namespace lumetra {

bool readsTextSource(AutoSelSource source) {
    return source == AutoSelSource::ProgramName || source == AutoSelSource::Comment;
}

std::string_view sourceText(AutoSelSource source, std::string_view programName,
                            std::string_view comment) {
    if (source == AutoSelSource::ProgramName)
        return programName;
    return source == AutoSelSource::Comment ? comment : std::string_view{};
}

MirrorTrigger& FieldSelectionSettings::trigger(AutoSelSource of, MirrorMode mode) {
    const std::size_t base = of == AutoSelSource::Comment ? 2 : 0;
    return triggers[base + (mode == MirrorMode::NormAndMirror ? 1 : 0)];
}

int sourceWidth(AutoSelSource source) {
    return source == AutoSelSource::Comment ? 26 : 13;
}

} // namespace lumetra
