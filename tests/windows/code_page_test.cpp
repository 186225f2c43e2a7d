// One code page on Windows: what the window and the operator log show of a text is what
// the host, the file names and the keystrokes receive (the system's active code page).
// Run under Wine with the locales of code pages 1250 and 1251 as well as the default.
#include "base/operator_log.h"
#include "common/code_page.h"
#include "common/log_text.h"
#include "platform/win32/windows_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace lumetra {
namespace {

std::string utf8Of(const std::wstring& wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                        nullptr, nullptr);
    return utf8;
}

TEST(CodePage, TheWindowAndTheLogShowWhatTheHostReceives) {
    for (int b = 0x20; b <= 0xFF; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(codePageToUtf8(byte), utf8Of(wideFromCodePage(byte))) << "byte " << b;
        if (codePageToUnicode(byte[0]) >= 0xA0)
            EXPECT_EQ(utf8ToCodePage(codePageToUtf8(byte)), byte) << "byte " << b;
    }
}

TEST(CodePage, KnownLettersOfTheActiveCodePage) {
    struct Known {
        UINT codePage;
        std::string byte;
        std::string utf8;
    };
    const Known known[] = {
        {1252, "\x80", "\xE2\x82\xAC"}, // €
        {1252, "\xC4", "\xC3\x84"},     // Ä
        {1250, "\xA5", "\xC4\x84"},     // Ą
        {1250, "\x9C", "\xC5\x9B"},     // ś
        {1251, "\xC0", "\xD0\x90"},     // А
        {1251, "\xFF", "\xD1\x8F"},     // я
    };
    int checked = 0;
    for (const Known& k : known) {
        if (k.codePage != GetACP())
            continue;
        ++checked;
        EXPECT_EQ(codePageToUtf8(k.byte), k.utf8) << GetACP();
        testing::TempDir dir;
        OperatorLog log(dir.file("operator.log"));
        log.write(LogKind::Scan, "P" + k.byte);
        const std::string logged = testing::readFile(dir.file("operator.log"));
        EXPECT_NE(logged.find("\tscan\tP" + k.utf8 + "\n"), std::string::npos) << logged;
    }
    EXPECT_GT(checked, 0) << "no known letters for code page " << GetACP();
}

} // namespace
} // namespace lumetra
