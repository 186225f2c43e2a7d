#include "fields/field_settings.h"

namespace lumetra {

MirrorTrigger& FieldSelectionSettings::trigger(AutoSelSource of, MirrorMode mode) {
    const std::size_t base = of == AutoSelSource::Comment ? 2 : 0;
    return triggers[base + (mode == MirrorMode::NormAndMirror ? 1 : 0)];
}

int sourceWidth(AutoSelSource source) {
    return source == AutoSelSource::Comment ? 26 : 13;
}

} // namespace lumetra
