#include "base/label_data.h"
#include "labels/label_syntax.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

FieldCodeTable table() {
    FieldCodeTable codes;
    fillFieldCodeTable(codes);
    return codes;
}

TEST(FieldCodeTable, HoldsTheThirtySixCodesInOrder) {
    const FieldCodeTable codes = table();
    const std::vector<std::string> expected = {
        "N",   "M",   "S",   "A",   "T",   "R",   "N1",  "M1",  "S1",  "A1",  "T1",  "R1",
        "N/",  "M/",  "S/",  "A/",  "T/",  "R/",  "N1/", "M1/", "S1/", "A1/", "T1/", "R1/",
        "N/0", "M/0", "S/0", "A/0", "T/0", "R/0", "N/1", "M/1", "S/1", "A/1", "T/1", "R/1"};
    EXPECT_EQ(std::vector<std::string>(codes.begin(), codes.end()), expected);
    EXPECT_TRUE(isFieldCode(codes, "A1/"));
    EXPECT_FALSE(isFieldCode(codes, "a1/"));
    EXPECT_FALSE(isFieldCode(codes, ""));
    EXPECT_EQ(fieldCodePosition(codes, "N"), 1);
    EXPECT_EQ(fieldCodePosition(codes, "R/1"), 36);
    EXPECT_EQ(fieldCodePosition(codes, "&"), 37);
}

TEST(LabelSyntax, ClassifiesByTheFirstRuleThatMatches) {
    const FieldCodeTable codes = table();
    const std::pair<std::string_view, LabelKind> cases[] = {
        {"%START%", LabelKind::Command},
        {"%SETP%", LabelKind::Command},
        {"%SETPOINT%", LabelKind::Command},
        {"%start%", LabelKind::Record},
        {" %START%", LabelKind::Record},
        {"%N%", LabelKind::FieldCode},
        {"%A1/%", LabelKind::FieldCode},
        {"%S/0%", LabelKind::FieldCode},
        {"$N$", LabelKind::FieldCode},
        {"xNx", LabelKind::FieldCode},
        {"%X%", LabelKind::Record},
        {"%N1/0%", LabelKind::Record},
        {"%13P100 N 13 %", LabelKind::Record},
        {"P100", LabelKind::Plain},
        {"", LabelKind::Plain},
        {"A$B", LabelKind::Record},
        {"N", LabelKind::Plain},
        {" N ", LabelKind::Plain},
        {"%%", LabelKind::Record},
    };
    for (const auto& [text, kind] : cases)
        EXPECT_EQ(classifyLabel(codes, text), kind) << "«" << text << "»";
}

TEST(LabelSyntax, InnerTextTrimsFirstAndCountsTheUntrimmedLength) {
    EXPECT_EQ(fieldCodeInner("%N%"), "N");
    EXPECT_EQ(fieldCodeInner("%A1/%"), "A1/");
    EXPECT_EQ(fieldCodeInner(" %N% "), "N%"); // trimmed "%N%" from its 2nd character
    EXPECT_EQ(fieldCodeInner("%"), "");
    EXPECT_EQ(fieldCodeInner("   "), "");
}

TEST(LabelSyntax, RecordHeadersReadTypeAndCountByValue) {
    struct Case {
        std::string_view text;
        int type;
        int count;
        bool repeated;
    };
    const Case cases[] = {
        {"%13P100 N 13 %", 1, 3, false},
        {"%2X600 400 18 %", 2, 0, false},
        {"%A2NAME%", 0, 2, false},
        {"%19P100 N 13 %", 1, 1, true},
        {"%\xF1"
         "5x",
         0, 5, false},
        {"%90", 9, 0, false},
    };
    for (const Case& c : cases) {
        const auto header = readRecordHeader(c.text);
        ASSERT_TRUE(header) << c.text;
        EXPECT_EQ(header->type, c.type) << c.text;
        EXPECT_EQ(header->count, c.count) << c.text;
        EXPECT_EQ(header->repeated, c.repeated) << c.text;
    }
    EXPECT_FALSE(readRecordHeader("%%"));
    EXPECT_FALSE(readRecordHeader(""));
}

TEST(NextToken, CutsValuesAsTheCursorMoves) {
    struct Case {
        std::string text;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {"600 400 18 %", {"600", "400", "18", "%", ""}},
        {"600 400 18%", {"600", "400", "18%", ""}},
        {"600  400 18 %", {"600", "", "400", "18", "%", ""}},
        {"nospaces", {"nospaces", ""}},
        {"   ", {"", "", "", ""}},
        {" lead", {"", "lead", ""}},
    };
    for (const Case& c : cases) {
        TokenCursor cursor;
        for (std::size_t i = 0; i < c.values.size(); ++i)
            EXPECT_EQ(nextToken(cursor, c.text), c.values[i]) << "«" << c.text << "» value " << i;
    }
}

TEST(NextToken, AnotherTextRestartsUnlessTheCursorIsPastItsEnd) {
    TokenCursor cursor;
    EXPECT_EQ(nextToken(cursor, "ab cd"), "ab");
    EXPECT_EQ(nextToken(cursor, "xy zw"), "xy") << "a new text starts from its beginning";
    EXPECT_EQ(nextToken(cursor, "xy zw"), "zw");
    EXPECT_EQ(nextToken(cursor, "abc"), "") << "position 6 is past «abc»: no reset";
    EXPECT_EQ(nextToken(cursor, "abc"), "");
    EXPECT_EQ(nextToken(cursor, ""), "");
    EXPECT_EQ(nextToken(cursor, "abc"), "abc");
}

TEST(ResetLabelData, GivesEachVariantItsValues) {
    LabelState state;
    EXPECT_EQ(state.data.fieldCode, "") << "before the first reset every field is empty";
    state.data.varA = "7";
    state.data.varI = "9";
    resetLabelData(state, HostSetup{true, false});
    EXPECT_EQ(state.data.programName, "");
    EXPECT_EQ(state.data.fieldCode, "N");
    EXPECT_EQ(state.data.repetitions, "1");
    EXPECT_EQ(state.data.listColumn4, "1");
    EXPECT_EQ(state.data.dimX, "");
    EXPECT_EQ(state.data.varA, "7") << "with the console the variables keep their values";
    EXPECT_EQ(state.data.varI, "9");

    resetLabelData(state, HostSetup{false, false});
    for (auto field : kColumnOrder) {
        if (field == &LabelData::repetitions || field == &LabelData::listColumn4)
            EXPECT_EQ(state.data.*field, "1");
        else
            EXPECT_EQ(state.data.*field, " ");
    }
}

} // namespace
} // namespace lumetra
