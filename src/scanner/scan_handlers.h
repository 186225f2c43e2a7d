// The three handlers a framed scan is dispatched to.
#pragma once

#include "scanner/label_entry.h"

#include <string>

namespace lumetra {

class ScanHandlers : public LabelEntry {
public:
    // Handles a scan containing "^".
    virtual void importProgramBarcode(std::string_view text) = 0;
    // The expanded text of a compressed scan (with its leading marker); empty drops it.
    virtual std::string expandPayload(const std::string& text) = 0;
};

} // namespace lumetra
