// What a scanned or typed label text does, decided once, before anything changes: its
// kind, whether it is refused and why, the record header, whether the record is taken, the
// program name it gives and whether the label completes. Label processing carries it out.
#pragma once

#include "base/label_data.h"
#include "fields/field_settings.h"
#include "labels/label_syntax.h"

#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

struct LabelDecision {
    LabelKind kind = LabelKind::Plain;
    // Set when the text changes nothing: not the label, not the field, not the work list.
    std::optional<std::string> refusal;
    RecordHeader header; // of a framed record
    // A record whose type the label has not had yet (it starts with "%"); a plain label
    // that is taken (a field is chosen, or the trigger reads the program name or comment).
    bool taken = false;
    // The program name a program record or a plain label gives, as it is stored.
    std::string programName;
    // A program record without a space: the whole payload is its name, nothing else.
    bool nameOnly = false;
    bool completes = false;
};

LabelDecision decideLabel(const LabelState& state, const FieldSelectionSettings& settings,
                          std::string_view text);

} // namespace lumetra
