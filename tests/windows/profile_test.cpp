// The system's profile functions and the portable ones, on the same files: what both
// read and write alike, and the differences the INI rules document, each stated.
#include "platform/files.h"
#include "platform/portable/portable_profile.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win32_profile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace lumetra {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

struct Lookup {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::optional<std::string> defaultValue;
    unsigned size;
};

std::optional<std::string_view> view(const std::optional<std::string>& text) {
    return text ? std::optional<std::string_view>(*text) : std::nullopt;
}

class ProfileAlike : public ::testing::TestWithParam<Lookup> {};

TEST_P(ProfileAlike, BothReadTheSame) {
    const Lookup& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("t.ini");
    writeFile(path, c.file);
    Win32Profile native;
    PortableProfile portable(dir.str());
    EXPECT_EQ(native.readString(path, c.section, c.key, view(c.defaultValue), c.size),
              portable.readString(path, c.section, c.key, view(c.defaultValue), c.size));
    EXPECT_EQ(native.readInt(path, c.section, c.key, -7),
              portable.readInt(path, c.section, c.key, -7));
}

const std::optional<std::string> kNone;
const std::optional<std::string> kDefault = std::string("dflt   ");

INSTANTIATE_TEST_SUITE_P(
    Reads, ProfileAlike,
    ::testing::Values(
        Lookup{"trimmed", "[S]\r\n   key1   =   value one   \r\n", "S", "key1", kNone, 128},
        Lookup{"equals_in_value", "[S]\r\nk = a = b \r\n", "S", "k", kNone, 128},
        Lookup{"case_and_blanks", "[ My Sec ]\nKey=v\n", " my sec ", "KEY", kNone, 128},
        Lookup{"inner_blanks_count", "[My  Sec]\nk=v\n", "My Sec", "k", kDefault, 128},
        Lookup{"ascii_folding_only", "[Sek\xE4]\nk=v\n", "Sek\xC4", "k", kDefault, 128},
        Lookup{"cr_only", "[S]\rk=v\rz=w", "S", "z", kNone, 128},
        Lookup{"ctrl_z", "[S]\nk=v\x1a", "S", "k", kNone, 128},
        Lookup{"nul_ends_value", std::string("[S]\nk=ab\0cd\n", 12), "S", "k", kNone, 128},
        Lookup{"last_bracket", "[a]b]\nk=v\n", "a]b", "k", kNone, 128},
        Lookup{"semicolon_is_data", "[S]\na=abc ; x\n", "S", "a", kNone, 128},
        Lookup{"first_section_only", "[S]\na=1\n[S]\nb=2\n", "S", "b", kDefault, 128},
        Lookup{"first_key_wins", "[S]\nk=1\nk=2\n", "S", "k", kNone, 128},
        Lookup{"empty_value", "[S]\nk=\n", "S", "k", kDefault, 128},
        Lookup{"bare_line", "[S]\nk\n", "S", "k", kDefault, 128},
        Lookup{"missing_key", "[S]\nk=1\n", "S", "x", kDefault, 128},
        Lookup{"missing_section", "[S]\nk=1\n", "T", "k", kNone, 128},
        Lookup{"quotes", "[S]\nk=\"  padded  \"\n", "S", "k", kNone, 128},
        Lookup{"unbalanced_quote", "[S]\nk=\"abc\n", "S", "k", kNone, 128},
        Lookup{"cut_to_buffer", "[S]\nk=val1\n", "S", "k", kNone, 4},
        Lookup{"buffer_of_one", "[S]\nk=val1\n", "S", "k", kNone, 1},
        Lookup{"number_wraps", "[S]\nk=4294967297\n", "S", "k", kNone, 128},
        Lookup{"negative", "[S]\nk=-1\n", "S", "k", kNone, 128},
        Lookup{"leading_digits", "[S]\nk=12abc\n", "S", "k", kNone, 128},
        Lookup{"signs", "[S]\nk=--5\n", "S", "k", kNone, 128},
        Lookup{"quoted_number", "[S]\nk=\" 8\"\n", "S", "k", kNone, 128},
        Lookup{"long_value", "[S]\nk=" + std::string(5000, 'x') + "\n", "S", "k", kNone, 6000},
        Lookup{"utf16_file", std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22), "S",
               "k", kNone, 128}),
    [](const auto& info) { return std::string(info.param.name); });

// Where Wine's functions go their own way, the portable ones follow Windows (or the
// rule chosen for ORX.INI); each difference is stated here, as it is documented.
TEST(ProfileDiffers, WhereTheRulesSayWineDoes) {
    TempDir dir;
    const std::string path = dir.file("t.ini");
    Win32Profile native;
    PortableProfile portable(dir.str());

    // Writing " 1": Wine drops the leading blank, the portable layer writes the value
    // as given (AutoClear= 1), as Windows does. Both read back "1".
    writeFile(path, "[S]\r\nk=0\r\n");
    ASSERT_TRUE(native.writeString(path, "S", "k", " 1"));
    const std::string wineWritten = readFile(path);
    writeFile(path, "[S]\r\nk=0\r\n");
    ASSERT_TRUE(portable.writeString(path, "S", "k", " 1"));
    EXPECT_EQ(readFile(path), "[S]\r\nk= 1\r\n");
    if (wineWritten != readFile(path)) {
        EXPECT_EQ(wineWritten, "[S]\r\nk=1\r\n");
    }
    EXPECT_EQ(native.readString(path, "S", "k", std::nullopt, 64), "1");

    // Changing one key: Wine rewrites the whole file (blank lines gone, "a = b" re-formed);
    // the portable layer edits in place. Either file reads the same through both.
    const std::string original = "; head\n[S]\n  a = b  \n\nk=0\n[T]\nx=1\n";
    writeFile(path, original);
    ASSERT_TRUE(portable.writeString(path, "S", "k", "2"));
    EXPECT_EQ(readFile(path), "; head\n[S]\n  a = b  \n\nk=2\n[T]\nx=1\n");
    for (Profile* reader : {static_cast<Profile*>(&native), static_cast<Profile*>(&portable)}) {
        EXPECT_EQ(reader->readString(path, "S", "a", std::nullopt, 64), "b");
        EXPECT_EQ(reader->readString(path, "S", "k", std::nullopt, 64), "2");
        EXPECT_EQ(reader->readString(path, "T", "x", std::nullopt, 64), "1");
    }
    writeFile(path, original);
    ASSERT_TRUE(native.writeString(path, "S", "k", "2"));
    EXPECT_EQ(portable.readString(path, "S", "a", std::nullopt, 64), "b");
    EXPECT_EQ(portable.readString(path, "S", "k", std::nullopt, 64), "2");
}

struct Edit {
    const char* name;
    std::string before;
    std::string section;
    std::optional<std::string> key;
    std::optional<std::string> value;
};

class ProfileWritesAlike : public ::testing::TestWithParam<Edit> {};

// On a file already in the form Wine writes (CRLF, no blank lines, key=value), with a
// value without leading blanks, both give the same bytes.
TEST_P(ProfileWritesAlike, ToTheSameBytes) {
    const Edit& c = GetParam();
    TempDir dir;
    const std::string nativePath = dir.file("native.ini");
    const std::string portablePath = dir.file("portable.ini");
    if (!c.before.empty()) {
        writeFile(nativePath, c.before);
        writeFile(portablePath, c.before);
    }
    Win32Profile native;
    PortableProfile portable(dir.str());
    EXPECT_EQ(native.writeString(nativePath, c.section, view(c.key), view(c.value)),
              portable.writeString(portablePath, c.section, view(c.key), view(c.value)));
    EXPECT_EQ(readFile(nativePath), readFile(portablePath));
}

INSTANTIATE_TEST_SUITE_P(
    Writes, ProfileWritesAlike,
    ::testing::Values(
        Edit{"new_file", "", "S", std::string("k"), std::string("v")},
        Edit{"replace", "[S]\r\nk=1\r\n", "S", std::string("k"), std::string("2")},
        Edit{"keeps_spelling", "[S]\r\nMyKey=1\r\n", "s", std::string("mykey"), std::string("2")},
        Edit{"new_key_after_last", "[S]\r\na=1\r\n[T]\r\nb=2\r\n", "S", std::string("c"),
             std::string("3")},
        Edit{"new_section", "[S]\r\na=1\r\n", "T", std::string("b"), std::string("2")},
        Edit{"first_duplicate", "[S]\r\nk=1\r\nk=2\r\n", "S", std::string("k"), std::string("3")},
        Edit{"delete_key", "[S]\r\na=1\r\nb=2\r\n", "S", std::string("a"), kNone},
        Edit{"delete_section", "[S]\r\na=1\r\n[T]\r\nb=2\r\n", "S", kNone, kNone},
        Edit{"trailing_blanks_kept", "[S]\r\nk=1\r\n", "S", std::string("k"), std::string("1  ")},
        Edit{"quoted", "[S]\r\nk=1\r\n", "S", std::string("k"), std::string("\" 1\"")},
        Edit{"code_page_text", "[S]\r\nk=1\r\n", "S", std::string("k"),
             std::string("Fr\xE4sen \x80")}),
    [](const auto& info) { return std::string(info.param.name); });

// Whether the system refuses to open a read-only file for writing (Windows does; Wine
// run by root does not).
bool readOnlyIsEnforced(const std::string& path) {
    HANDLE file = CreateFileW(fileSystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    CloseHandle(file);
    return false;
}

// A read-only ORX.INI is not written and the failure says why: by the file layer
// everywhere, by the system's functions where the system enforces the attribute.
TEST(ProfileReadOnly, IsLeftAsItWasAndTheFailureIsTold) {
    TempDir dir;
    const std::string path = dir.file("ORX.INI");
    writeFile(path, "[S]\r\nk=1\r\n");
    SetFileAttributesW(fileSystemPath(path).c_str(), FILE_ATTRIBUTE_READONLY);
    Win32Profile native;
    PortableProfile portable(dir.str());
    std::vector<Profile*> profiles{&portable};
    if (readOnlyIsEnforced(path))
        profiles.push_back(&native);
    for (Profile* profile : profiles) {
        EXPECT_FALSE(profile->writeString(path, "S", "k", "2"));
        EXPECT_NE(profile->lastWriteError().find("ORX.INI"), std::string::npos)
            << profile->lastWriteError();
        EXPECT_EQ(readFile(path), "[S]\r\nk=1\r\n");
    }
    EXPECT_EQ(portable.lastWriteError().find("read-only"), portable.lastWriteError().size() - 9)
        << portable.lastWriteError();
    SetFileAttributesW(fileSystemPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A bare file name is the Windows directory's, for both.
TEST(ProfileBareName, IsLookedForInTheWindowsDirectory) {
    const Win32Paths paths([](const std::string&) { return std::nullopt; }, ".");
    Win32Profile native;
    PortableProfile portable(paths.windowsDirectory());
    const std::string name = "lumetra-test-" + std::to_string(GetCurrentProcessId()) + ".ini";
    ASSERT_TRUE(native.writeString(name, "S", "k", "v"));
    EXPECT_EQ(portable.readString(name, "S", "k", std::nullopt, 64), "v");
    EXPECT_EQ(readFile(paths.windowsDirectory() + "\\" + name), "[S]\r\nk=v\r\n");
    DeleteFileA((paths.windowsDirectory() + "\\" + name).c_str());
}

} // namespace
} // namespace lumetra
