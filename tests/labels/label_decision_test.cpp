// The decision a label text makes, before anything changes: known answers for each kind,
// the refusals with their reasons, the taking of records and the completion of labels.
#include "labels/label_decision.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

struct Case {
    const char* text;
    std::string receivedTypes; // the label in progress
    bool defaultField;
    LabelKind kind;
    bool refused;
    bool taken;
    bool completes;
    std::string programName;
};

TEST(LabelDecision, EachTextDecidesOnceWhatItDoes) {
    const Case cases[] = {
        // Commands and field-code barcodes are never refused.
        {"%START%", "", false, LabelKind::Command, false, false, false, ""},
        {"%A1/%", "1", false, LabelKind::FieldCode, false, false, false, ""},
        {"SAT", "", false, LabelKind::FieldCode, false, false, false, ""},
        // Records: taken, completing, repeated, or refused with the label left alone.
        {"%13P100 N 13 %", "", false, LabelKind::Record, false, true, false, "P100"},
        {"%11P100 N %", "", false, LabelKind::Record, false, true, true, "P100"},
        {"%11P100%", "", false, LabelKind::Record, false, true, true, "P100%"},
        {"%19P100 N %", "", false, LabelKind::Record, false, true, true, "P100"},
        {"%22600 400 18 %", "1", false, LabelKind::Record, false, true, true, ""},
        {"%12P1 N %", "1", false, LabelKind::Record, true, false, false, ""},
        {"%11P1 N %", "1", false, LabelKind::Record, false, false, true, ""},
        {"%2X600 %", "", false, LabelKind::Record, false, true, false, ""},
        {"%01LISTA", "13", false, LabelKind::Record, false, true, false, ""},
        {"%a1%", "", false, LabelKind::Record, true, false, false, ""},
        {"%%", "", false, LabelKind::Record, true, false, false, ""},
        {"%0$", "", false, LabelKind::Record, true, true, false, ""},
        {"%01  ", "", false, LabelKind::Record, true, true, false, ""},
        {"%01../L", "", false, LabelKind::Record, true, true, false, ""},
        {"%11../P N %", "", false, LabelKind::Record, true, true, false, "../P"},
        {"%11CON N %", "", false, LabelKind::Record, true, true, false, "CON"},
        {"%21600 400 18 %", "", false, LabelKind::Record, true, true, true, ""},
        {"%11P;1 N %", "", false, LabelKind::Record, true, false, false, ""},
        {"x%12P1 N %", "", false, LabelKind::Record, true, false, false, ""},
        // Plain labels: taken only with a field or a text trigger; named as they stand.
        {"P100", "", false, LabelKind::Plain, false, false, false, ""},
        {" P100 ", "13", true, LabelKind::Plain, false, true, true, "P100"},
        {"P\x01", "", true, LabelKind::Plain, true, true, true, "P\x01"},
        {"   ", "", true, LabelKind::Plain, true, true, true, ""},
    };
    for (const Case& c : cases) {
        LabelState state;
        fillFieldCodeTable(state.fieldCodeTable);
        state.receivedTypes = c.receivedTypes;
        state.data.programName = c.receivedTypes.find('1') != std::string::npos ? "P7" : "";
        FieldSelectionSettings settings;
        if (c.defaultField)
            settings.slot(Slot::DFN).code = "N";
        const LabelDecision d = decideLabel(state, settings, c.text);
        EXPECT_EQ(d.kind, c.kind) << c.text;
        EXPECT_EQ(d.refusal.has_value(), c.refused) << c.text << ": " << d.refusal.value_or("");
        EXPECT_EQ(d.taken, c.taken) << c.text;
        EXPECT_EQ(d.completes, c.completes) << c.text;
        EXPECT_EQ(d.programName, c.programName) << c.text;
    }
}

TEST(LabelDecision, TheRecordHeaderIsReadOnce) {
    LabelState state;
    fillFieldCodeTable(state.fieldCodeTable);
    const FieldSelectionSettings settings;
    const LabelDecision repeated = decideLabel(state, settings, "%19P1 N %");
    EXPECT_EQ(repeated.header.type, 1);
    EXPECT_EQ(repeated.header.count, 1);
    EXPECT_TRUE(repeated.header.repeated);
    const LabelDecision nameOnly = decideLabel(state, settings, "%12P1%");
    EXPECT_TRUE(nameOnly.nameOnly);
    EXPECT_FALSE(decideLabel(state, settings, "%12P1 N %").nameOnly);
}

TEST(LabelDecision, ACountOfZeroNeverCompletes) {
    LabelState state;
    fillFieldCodeTable(state.fieldCodeTable);
    state.data.programName = "P7";
    const FieldSelectionSettings settings;
    for (const char* text : {"$00", "x%10P1 N %", "%2X600 %"})
        EXPECT_FALSE(decideLabel(state, settings, text).completes) << text;
    EXPECT_TRUE(decideLabel(state, settings, "$00").refusal) << "nothing taken, nothing complete";
}

TEST(LabelDecision, ATextTriggerTakesPlainLabels) {
    LabelState state;
    fillFieldCodeTable(state.fieldCodeTable);
    FieldSelectionSettings settings;
    for (const AutoSelSource source :
         {AutoSelSource::ProgramName, AutoSelSource::Comment, AutoSelSource::Barcode}) {
        settings.source = source;
        EXPECT_EQ(decideLabel(state, settings, "P1").taken, source != AutoSelSource::Barcode);
    }
    settings.source = AutoSelSource::Barcode;
    state.fieldSelected = true;
    EXPECT_TRUE(decideLabel(state, settings, "P1").taken) << "a field chosen by a barcode";
}

} // namespace
} // namespace lumetra
