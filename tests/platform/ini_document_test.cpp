#include "platform/portable/ini_document.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

TEST(IniDocument, KeepsEveryUntouchedByte) {
    const std::string text = "  ; comment\n[Main]  \r\nkey =  value \r\n\r\n\tother=x\rlast";
    IniDocument document(text);
    EXPECT_EQ(document.bytes(), text);
    EXPECT_TRUE(document.setValue("main", "other", "y"));
    EXPECT_EQ(document.bytes(), "  ; comment\n[Main]  \r\nkey =  value \r\n\r\n\tother=y\rlast");
}

TEST(IniDocument, RemovingASectionKeepsTheOthers) {
    IniDocument document("[A]\na=1\n[B]\nb=2\n[C]\nc=3\n");
    EXPECT_TRUE(document.removeSection("b"));
    EXPECT_EQ(document.bytes(), "[A]\na=1\n[C]\nc=3\n");
    EXPECT_FALSE(document.removeSection("B"));
    EXPECT_EQ(document.value("C", "c"), "3");
}

TEST(IniDocument, ParsesHugeAndBinaryInputWithoutTrouble) {
    std::string noise;
    for (int i = 0; i < 200000; ++i)
        noise += static_cast<char>((i * 131) % 256);
    IniDocument document(noise);
    EXPECT_FALSE(document.value("VOZEZIZO", "CommPort").has_value());
    EXPECT_EQ(document.bytes(), noise);
}

} // namespace
} // namespace lumetra
