#include "labels/label_decision.h"

#include "common/safe_name.h"
#include "common/text.h"

namespace lumetra {

namespace {

// A plain label is taken when a field is chosen or will be (the default field), or when
// the mirror trigger reads a text the label gives.
bool takesPlainLabel(const LabelState& state, const FieldSelectionSettings& settings) {
    return !settings.slot(Slot::DFN).code.empty() || state.fieldSelected ||
           readsTextSource(settings.source);
}

LabelDecision refused(LabelDecision decision, std::string why) {
    decision.refusal = std::move(why);
    return decision;
}

LabelDecision decideRecord(const LabelState& state, std::string_view text, LabelDecision d) {
    const auto header = readRecordHeader(text);
    if (!header)
        return refused(d, "no record type and count");
    if (!isRecordType(header->typeCharacter))
        return refused(d, "the record type is not a digit");
    d.header = *header;
    d.taken =
        text.front() == '%' && state.receivedTypes.find(header->typeCharacter) == std::string::npos;
    const std::string_view payload = text.substr(3);
    if (d.taken && header->type == 0)
        return isUsableListName(payload) ? d : refused(d, "the list name cannot be used");
    std::string name = state.data.programName;
    if (d.taken && header->type == 1) {
        const auto space = payload.find(' ');
        d.nameOnly = space == std::string_view::npos;
        name = d.nameOnly ? std::string(payload) : trim(payload.substr(0, space));
        d.programName = name;
        if (!isUsableProgramName(name))
            return refused(d, "the program name cannot be used");
    }
    const std::size_t types = state.receivedTypes.size() + (d.taken ? 1 : 0);
    d.completes = types != 0 && types == static_cast<std::size_t>(header->count);
    if (!d.taken && !d.completes)
        return refused(d, "the record is not taken");
    if (d.completes && !isUsableProgramName(name))
        return refused(d, "the label has no program name");
    return d;
}

} // namespace

LabelDecision decideLabel(const LabelState& state, const FieldSelectionSettings& settings,
                          std::string_view text) {
    LabelDecision d;
    d.kind = classifyLabel(state.fieldCodeTable, text);
    if (d.kind == LabelKind::Command || d.kind == LabelKind::FieldCode)
        return d;
    // A ";" in any value would shift the columns of the host's line.
    if (contains(text, ";"))
        return refused(d, "it holds the work list's separator \";\"");
    if (d.kind == LabelKind::Record)
        return decideRecord(state, text, d);
    d.taken = takesPlainLabel(state, settings);
    if (!d.taken)
        return d; // "Run Field Not Selected"
    d.programName = trim(text);
    d.completes = true;
    return isUsableProgramName(d.programName) ? d : refused(d, "the program name cannot be used");
}

} // namespace lumetra
