#include "labels/exclusion.h"

#include "common/text.h"

namespace lumetra {

std::string exclusionDigits(std::string_view setting) {
    std::string digits;
    for (std::size_t i = 0; i < 8 && i < setting.size(); ++i)
        if (setting[i] == '1')
            digits += static_cast<char>('1' + i);
    return digits;
}

std::string exclusionCaption(std::string_view setting) {
    return " Exclusion Number " + exclusionDigits(setting) + "  for insertion.";
}

std::optional<std::string> startupExclusionCaption(std::string_view setting) {
    if (leadingNumber(setting) == 0.0)
        return std::nullopt;
    return exclusionCaption(setting);
}

} // namespace lumetra
