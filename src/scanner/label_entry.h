// Label processing as the scanner and the manual entry hand texts to it.
#pragma once

#include <string>

namespace lumetra {

class LabelEntry {
public:
    virtual ~LabelEntry() = default;
    // True when the text was fully handled (see label processing).
    virtual bool processLabelScan(const std::string& text) = 0;
};

} // namespace lumetra
