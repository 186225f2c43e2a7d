#include "platform/portable/portable_profile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

struct ReadCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::optional<std::string> defaultValue;
    unsigned size;
    std::string expected;
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, GivesWhatTheBufferReceives) {
    const ReadCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("t.ini"), c.file);
    PortableProfile profile(dir.str());
    const std::optional<std::string_view> fallback =
        c.defaultValue ? std::optional<std::string_view>(*c.defaultValue) : std::nullopt;
    EXPECT_EQ(profile.readString(dir.file("t.ini"), c.section, c.key, fallback, c.size),
              c.expected);
}

const std::optional<std::string> kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileRead,
    ::testing::Values(
        ReadCase{"trimmed_value", "[S]\r\n   key1   =   value one   \r\n", "S", "key1", kNone, 128,
                 "value one"},
        ReadCase{"second_equals_is_data", "[S]\r\nkey4 = a = b \r\n", "S", "key4", kNone, 128,
                 "a = b"},
        ReadCase{"section_case_and_blanks", "[ My Sec ]\nKey=v\n", " my sec ", "KEY", kNone, 128,
                 "v"},
        ReadCase{"inner_blanks_count", "[My  Sec]\nk=v\n", "My Sec", "k", std::string("d"), 128,
                 "d"},
        ReadCase{"ascii_folding_only", "[Sek\xE4]\nk=v\n", "Sek\xC4", "k", std::string("d"), 128,
                 "d"},
        ReadCase{"cr_only_lines", "[S]\rk=v\rz=w", "S", "z", kNone, 128, "w"},
        ReadCase{"ctrl_z_is_blank", "[S]\nk=v\x1a", "S", "k", kNone, 128, "v"},
        ReadCase{"nul_ends_value", std::string("[S]\nk=ab\0cd\n", 12), "S", "k", kNone, 128, "ab"},
        ReadCase{"last_bracket", "[a]b]\nk=v\n", "a]b", "k", kNone, 128, "v"},
        ReadCase{"text_after_header", "[Two] ; comment\nk=v\n", "Two", "k", kNone, 128, "v"},
        ReadCase{"semicolon_in_value", "[S]\na=abc ; not a comment\n", "S", "a", kNone, 128,
                 "abc ; not a comment"},
        ReadCase{"first_section_only", "[S]\na=1\n[S]\nb=2\n", "S", "b", std::string("d"), 128,
                 "d"},
        ReadCase{"first_key_wins", "[S]\na=1\na=2\n", "S", "a", kNone, 128, "1"},
        ReadCase{"empty_value_not_default", "[S]\nempty=\n", "S", "empty", std::string("d"), 128,
                 ""},
        ReadCase{"blank_value_not_default", "[S]\nspaces=   \n", "S", "spaces", std::string("d"),
                 128, ""},
        ReadCase{"bare_line_is_missing", "[S]\nflag\n", "S", "flag", std::string("d"), 128, "d"},
        ReadCase{"missing_section", "[S]\nk=v\n", "T", "k", std::string("dflt"), 128, "dflt"},
        ReadCase{"quotes_stripped", "[S]\nk=\"  padded  \"\n", "S", "k", kNone, 128, "  padded  "},
        ReadCase{"single_quotes", "[S]\nk='x'\n", "S", "k", kNone, 128, "x"},
        ReadCase{"empty_quotes", "[S]\nk=\"\"\n", "S", "k", std::string("d"), 128, ""},
        ReadCase{"unbalanced_quotes_kept", "[S]\nk=\"abc\n", "S", "k", kNone, 128, "\"abc"},
        ReadCase{"mixed_quotes_kept", "[S]\nk=\"abc'\n", "S", "k", kNone, 128, "\"abc'"},
        ReadCase{"lone_quote_kept", "[S]\nk=\"\n", "S", "k", kNone, 128, "\""},
        ReadCase{"inner_quotes", "[S]\nk=\"a\"b\"\n", "S", "k", kNone, 128, "a\"b"},
        ReadCase{"text_after_quote", "[S]\nk=x\"abc\"\n", "S", "k", kNone, 128, "x\"abc\""},
        ReadCase{"quote_cut_3", "[S]\nk=\"abcdef\"\n", "S", "k", kNone, 3, "ab"},
        ReadCase{"quote_cut_6", "[S]\nk=\"abcdef\"\n", "S", "k", kNone, 6, "abcde"},
        ReadCase{"quote_cut_7", "[S]\nk=\"abcdef\"\n", "S", "k", kNone, 7, "abcde"},
        ReadCase{"quote_cut_8", "[S]\nk=\"abcdef\"\n", "S", "k", kNone, 8, "abcdef"},
        ReadCase{"truncated", "[S]\nk=val1\n", "S", "k", kNone, 4, "val"},
        ReadCase{"size_one", "[S]\nk=val1\n", "S", "k", kNone, 1, ""},
        ReadCase{"size_zero", "[S]\nk=val1\n", "S", "k", kNone, 0, ""},
        ReadCase{"default_trailing_spaces", "[S]\n", "S", "k", std::string("a b  "), 128, "a b"},
        ReadCase{"default_keeps_tab_and_lead", "[S]\n", "S", "k", std::string(" d\t"), 128, " d\t"},
        ReadCase{"default_all_spaces", "[S]\n", "S", "k", std::string("   "), 128, " "},
        ReadCase{"default_quotes", "[S]\n", "S", "k", std::string("\"dq\""), 128, "dq"},
        ReadCase{"default_truncated", "[S]\n", "S", "k", std::string("default"), 4, "def"},
        ReadCase{"keys_before_sections", "k=v\n[S]\n", "", "k", kNone, 128, "v"},
        ReadCase{"long_value", "[S]\nk=" + std::string(5000, 'x') + "\n", "S", "k", kNone, 6000,
                 std::string(5000, 'x')},
        ReadCase{"utf8_bom", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", kNone, 128, "v"},
        ReadCase{"hash_line_is_key", "[S]\n#k=v\n", "S", "#k", kNone, 128, "v"},
        ReadCase{"header_without_bracket_is_bare", "[S]\n[T\nk=v\n", "S", "k", kNone, 128, "v"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileRead, MissingFileGivesTheDefaultUnquoted) {
    TempDir dir;
    PortableProfile profile(dir.str());
    EXPECT_EQ(profile.readString(dir.file("none.ini"), "S", "k", "\"dq\"", 128), "\"dq\"");
    EXPECT_EQ(profile.readString(dir.file("none.ini"), "S", "k", std::nullopt, 128), "");
}

TEST(ProfileRead, AFolderReadsAsAMissingFile) {
    TempDir dir;
    PortableProfile profile(dir.str());
    EXPECT_EQ(profile.readString(dir.str(), "S", "k", "d", 128), "d");
    EXPECT_EQ(profile.readInt(dir.str(), "S", "k", 7), 7u);
}

TEST(ProfileRead, ANameWithoutFolderIsInTheWindowsDirectory) {
    TempDir dir;
    writeFile(dir.file("win.ini"), "[S]\nk=v\n");
    PortableProfile profile(dir.str());
    EXPECT_EQ(profile.readString("win.ini", "S", "k", std::nullopt, 128), "v");
}

struct IntCase {
    std::string value;
    std::int32_t defaultValue;
    std::uint32_t expected;
};

TEST(ProfileReadInt, ParsesAndWrapsAsWindowsDoes) {
    const IntCase cases[] = {
        {"k=42", 7, 42},
        {"k=\"42\"", 7, 42},
        {"k=\" 8\"", 7, 8},
        {"k=", 7, 7},
        {"k=   ", 7, 7},
        {"k=\"\"", 7, 7},
        {"k", 7, 7},
        {"other=1", 7, 7},
        {"k=12abc", 7, 12},
        {"k=12 34", 7, 12},
        {"k=1.5", 7, 1},
        {"k=1e3", 7, 1},
        {"k=abc", 7, 0},
        {"k=- 5", 7, 0},
        {"k=--5", 7, 0},
        {"k=+-1", 7, 0},
        {"k=-", 7, 0},
        {"k=+", 7, 0},
        {"k=+5", 7, 5},
        {"k=-0", 7, 0},
        {"k=-1", 7, 4294967295u},
        {"k=4294967295", 7, 4294967295u},
        {"k=4294967296", 7, 0},
        {"k=4294967297", 7, 1},
        {"k=99999999999", 7, 1215752191u},
        {"k=2147483648", 7, 2147483648u},
        {"k=-2147483648", 7, 2147483648u},
        {"k=-4294967297", 7, 4294967295u},
        {"k=42A94967297", 7, 42},
        {"k=B4294967297", 7, 0},
        {"k=0x1F", 7, 31},
        {"k=0o17", 7, 15},
        {"k=0b101", 7, 5},
        {"k=0xFFFFFFFF", 7, 4294967295u},
        {"k=0x100000000", 7, 0},
        {"k=0X1f", 7, 0},
        {"k=017", 7, 17},
        {"k=" + std::string(31, '0') + "42", 7, 0},
        {"other=1", -1, 4294967295u},
    };
    TempDir dir;
    PortableProfile profile(dir.str());
    for (const IntCase& c : cases) {
        writeFile(dir.file("t.ini"), "[S]\r\n" + c.value + "\r\n");
        EXPECT_EQ(profile.readInt(dir.file("t.ini"), "S", "k", c.defaultValue), c.expected)
            << "line «" << c.value << "»";
    }
}

struct WriteCase {
    const char* name;
    std::optional<std::string> before; // none: no file
    std::optional<std::string> key;
    std::optional<std::string> value;
    std::string after;
    friend void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, EditsInPlace) {
    const WriteCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("t.ini");
    if (c.before)
        writeFile(path, *c.before);
    PortableProfile profile(dir.str());
    const auto asView = [](const std::optional<std::string>& s) {
        return s ? std::optional<std::string_view>(*s) : std::nullopt;
    };
    EXPECT_TRUE(profile.writeString(path, "S", asView(c.key), asView(c.value)));
    EXPECT_EQ(readFile(path), c.after);
}

const std::optional<std::string> kNoFile = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileWrite,
    ::testing::Values(
        WriteCase{"new_file", kNoFile, std::string("k"), std::string("v"), "[S]\r\nk=v\r\n"},
        WriteCase{"value_as_given", kNoFile, std::string("AutoClear"), std::string(" 1"),
                  "[S]\r\nAutoClear= 1\r\n"},
        WriteCase{"new_key_after_last_line", std::string("[S]\r\na=1\r\n\r\n[T]\r\nb=2\r\n"),
                  std::string("k"), std::string("v"), "[S]\r\na=1\r\nk=v\r\n\r\n[T]\r\nb=2\r\n"},
        WriteCase{"new_section_appended", std::string("[T]\nb=2"), std::string("k"),
                  std::string("v"), "[T]\nb=2\r\n[S]\r\nk=v\r\n"},
        WriteCase{"replace_keeps_spelling", std::string("; head\n[s]\n  MyKey = old  \nz=1\n"),
                  std::string("mykey"), std::string("new"), "; head\n[s]\n  MyKey =new\nz=1\n"},
        WriteCase{"first_duplicate_changes", std::string("[S]\nk=1\nk=2\n"), std::string("k"),
                  std::string("3"), "[S]\nk=3\nk=2\n"},
        WriteCase{"bare_line_gets_value", std::string("[S]\nflag\n"), std::string("flag"),
                  std::string("1"), "[S]\nflag=1\n"},
        WriteCase{"same_value_untouched", std::string("[S]\nk= 1\n"), std::string("k"),
                  std::string(" 1"), "[S]\nk= 1\n"},
        WriteCase{"value_as_read_untouched", std::string("[S]\n k = v \n"), std::string("k"),
                  std::string("v"), "[S]\n k = v \n"},
        WriteCase{"key_leading_blanks_dropped", std::string("[S]\n"), std::string("  k"),
                  std::string("v"), "[S]\nk=v\r\n"},
        WriteCase{"delete_key", std::string("[S]\na=1\nk=2\nb=3\n"), std::string("k"), std::nullopt,
                  "[S]\na=1\nb=3\n"},
        WriteCase{"delete_missing_key", std::string("[S]\na=1\n"), std::string("k"), std::nullopt,
                  "[S]\na=1\n"},
        WriteCase{"delete_section", std::string("[A]\nx=1\n[S]\n;c\nk=2\n\n[B]\ny=3\n"),
                  std::nullopt, std::nullopt, "[A]\nx=1\n[B]\ny=3\n"},
        WriteCase{"delete_without_file_leaves_empty_file", kNoFile, std::nullopt, std::nullopt, ""},
        WriteCase{"bytes_before_first_section_kept",
                  std::string("Data \0 before\r\n[S]\r\nk=1\r\n", 23), std::string("k"),
                  std::string("2"), std::string("Data \0 before\r\n[S]\r\nk=2\r\n", 23)},
        WriteCase{"insert_before_trailing_blank_lines", std::string("[S]\r\na=1\r\n\r\n\r\n"),
                  std::string("b"), std::string("2"), "[S]\r\na=1\r\nb=2\r\n\r\n\r\n"},
        WriteCase{"unterminated_last_line", std::string("[S]\r\na=1"), std::string("b"),
                  std::string("2"), "[S]\r\na=1\r\nb=2\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileWrite, AWrittenValueReadsBackTrimmedOrQuoted) {
    TempDir dir;
    const std::string path = dir.file("t.ini");
    PortableProfile profile(dir.str());
    profile.writeString(path, "S", "plain", std::string_view(" 1"));
    profile.writeString(path, "S", "quoted", std::string_view("\" 1\""));
    EXPECT_EQ(profile.readString(path, "S", "plain", std::nullopt, 128), "1");
    EXPECT_EQ(profile.readString(path, "S", "quoted", std::nullopt, 128), " 1");
    EXPECT_EQ(profile.readInt(path, "S", "plain", 0), 1u);
}

TEST(ProfileUtf16, AUtf16FileIsReadAndStaysUtf16) {
    TempDir dir;
    const std::string path = dir.file("u.ini");
    writeFile(path, std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0", 22));
    PortableProfile profile(dir.str());
    EXPECT_EQ(profile.readString(path, "S", "k", std::nullopt, 128), "\xE9");
    EXPECT_TRUE(profile.writeString(path, "S", "n", std::string_view("\x80")));
    EXPECT_EQ(readFile(path), std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0"
                                          "n\0=\0\xAC\x20\r\0\n\0",
                                          32));
}

TEST(ProfileWrite, AFolderCannotBeWritten) {
    TempDir dir;
    PortableProfile profile(dir.str());
    EXPECT_FALSE(profile.writeString(dir.str(), "S", "k", std::string_view("v")));
    EXPECT_NE(profile.lastWriteError().find("not a readable file"), std::string::npos);
}

TEST(ProfileWrite, ABareNameCreatesTheWindowsDirectory) {
    TempDir dir;
    PortableProfile profile(dir.file("config/lumetra"));
    EXPECT_TRUE(profile.writeString("ORX.INI", "S", "k", std::string_view("v")));
    EXPECT_EQ(readFile(dir.file("config/lumetra/ORX.INI")), "[S]\r\nk=v\r\n");
    EXPECT_EQ(profile.readString("ORX.INI", "S", "k", std::nullopt, 128), "v");
}

// Windows files carry no permission bits; the read-only case covers them there.
#ifndef _WIN32
TEST(ProfileWrite, KeepsTheFilePermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.file("t.ini");
    writeFile(path, "[S]\r\nk=1\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    PortableProfile profile(dir.str());
    EXPECT_TRUE(profile.writeString(path, "S", "k", std::string_view("2")));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.str()),
                            std::filesystem::directory_iterator()),
              1);
}
#endif

} // namespace
} // namespace lumetra
