#include "common/code_page.h"
#include "common/field_splitter.h"
#include "common/text.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace lumetra {
namespace {

TEST(LeadingNumber, ReadsTheLongestNumericPrefix) {
    const std::pair<std::string_view, double> cases[] = {
        {"18%", 18}, {"", 0},     {" ", 0},      {"  600", 600}, {"-12.5x", -12.5},
        {"+7", 7},   {".5", 0.5}, {"5.", 5},     {"1e3", 1},     {"abc", 0},
        {"-", 0},    {"- 5", 0},  {"12 34", 12}, {"0", 0},       {"3.25.1", 3.25},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(text), expected) << "text «" << text << "»";
}

TEST(LeadingNumber, NumbersBeyondTheRangesAreHeldAtTheirEnds) {
    EXPECT_EQ(leadingNumber(std::string(400, '9')), std::numeric_limits<double>::max());
    EXPECT_EQ(leadingNumber("-" + std::string(5000, '9')), -std::numeric_limits<double>::max());
    EXPECT_DOUBLE_EQ(leadingNumber(std::string(30, '0') + "42"), 42.0);
    EXPECT_EQ(leadingSingle(std::string(400, '9')), std::numeric_limits<float>::max());
    EXPECT_EQ(leadingSingle("-1" + std::string(45, '0')), -std::numeric_limits<float>::max());
    EXPECT_EQ(leadingSingle("1" + std::string(39, '0') + "%"), std::numeric_limits<float>::max());
    EXPECT_EQ(leadingSingle("." + std::string(60, '0') + "1"), 0.0f);
    EXPECT_EQ(toSingle(std::nan("")), 0.0f);
}

TEST(SingleText, ReadsBackAsTheSameNumberAtAnyMagnitude) {
    for (const float value :
         {5e-05f, 1e-10f, 1.234568e7f, 3.0e20f, -1.5e8f, std::numeric_limits<float>::max(),
          std::numeric_limits<float>::min(), 0.3333333f, 999999.9f, 1e7f}) {
        const std::string text = singleText(value);
        EXPECT_EQ(text.find_first_not_of("-.0123456789"), std::string::npos) << text;
        EXPECT_EQ(singleText(leadingSingle(text)), text) << "seven digits read back as written";
        EXPECT_NEAR(leadingSingle(text) / value, 1.0f, 1e-6f) << text;
    }
}

TEST(SingleText, WritesSevenSignificantDigitsWithoutTrailingZeros) {
    const std::pair<float, std::string_view> cases[] = {
        {18.0f, "18"},
        {800.0f, "800"},
        {12.5f, "12.5"},
        {0.5f, ".5"},
        {0.0f, "0"},
        {-0.5f, "-.5"},
        {1234567.0f, "1234567"},
        {0.1f, ".1"},
        {123.456f, "123.456"},
        {1.0f / 3.0f, ".3333333"},
        {25.4f, "25.4"},
        {12345678.0f, "12345680"},
        {5e-05f, ".00005"},
        {-0.0000123f, "-.0000123"},
        {1e7f, "10000000"},
        {std::numeric_limits<float>::max(), "340282300000000000000000000000000000000"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(singleText(value), expected) << "value " << value;
}

TEST(TextRules, UpperCaseCoversTheCodePage) {
    EXPECT_EQ(toUpper("p100.cnc"), "P100.CNC");
    EXPECT_EQ(toUpper("\xF1\xE9\xFF\x9A"), "\xD1\xC9\x9F\x8A"); // ñ é ÿ š
    EXPECT_EQ(toUpper("\xF7\xDF"), "\xF7\xDF");                 // ÷ and ß have no upper case
}

TEST(TextRules, TrimRemovesSpacesOnly) {
    EXPECT_EQ(trim("  P100  "), "P100");
    EXPECT_EQ(trim("\tP100\t"), "\tP100\t");
    EXPECT_EQ(trim("    "), "");
    EXPECT_EQ(trim("a b"), "a b");
}

TEST(FieldSplitter, CountsEverySeparatorAsTheEndOfAField) {
    const FieldSplitter fields("^", "NAME^X800^^Y600");
    EXPECT_EQ(fields.count(), 4u);
    EXPECT_EQ(fields.field(1), "NAME");
    EXPECT_EQ(fields.field(2), "X800");
    EXPECT_EQ(fields.field(3), "");
    EXPECT_EQ(fields.field(4), "Y600");
    EXPECT_EQ(fields.field(5), "");
    EXPECT_EQ(fields.field(0), "");
}

TEST(FieldSplitter, SplitsAtAnyCharacterOfTheSet) {
    const FieldSplitter fields(" =\r", "DIM UN=800 Y=600\r");
    EXPECT_EQ(fields.field(2), "UN");
    EXPECT_EQ(fields.field(3), "800");
    EXPECT_EQ(fields.field(5), "600");
    EXPECT_EQ(fields.field(6), "");
    EXPECT_EQ(FieldSplitter(";", "").field(1), "");
}

TEST(CodePage, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCodePage(codePageToUtf8(all)), all);
    EXPECT_EQ(codePageToUtf8("\x80\xF1"), "\xE2\x82\xAC\xC3\xB1"); // € ñ
    EXPECT_EQ(utf8ToCodePage("\xE2\x98\x83"), "?");                // ☃ is not in the code page
    EXPECT_EQ(utf8ToCodePage("\xC3"), "?");                        // cut sequence
}

} // namespace
} // namespace lumetra
