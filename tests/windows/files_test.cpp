// The file layer on Windows, where another program may hold a file open.
#include "common/temporary_name.h"
#include "platform/files.h"
#include "platform/win32/windows_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <thread>
#include <windows.h>

namespace lumetra {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// Opens the file as a program that shares it for reading only.
HANDLE holdOpen(const std::string& path) {
    return CreateFileW(fileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

TEST(WindowsFiles, AFileHeldForAMomentIsReplacedOnceItIsFree) {
    TempDir dir;
    const std::string path = dir.file("PROG");
    writeFile(path, "old");
    HANDLE held = holdOpen(path);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(200);
        CloseHandle(held);
    });
    const WriteOutcome written = replaceFile(path, "new");
    release.join();
    EXPECT_TRUE(written) << written.error;
    EXPECT_EQ(readFile(path), "new");
}

TEST(WindowsFiles, AFileHeldOpenStaysAsItWasAndNoTemporaryIsLeft) {
    TempDir dir;
    const std::string path = dir.file("PROG");
    writeFile(path, "old");
    HANDLE held = holdOpen(path);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const WriteOutcome written = replaceFile(path, "new");
    CloseHandle(held);
    EXPECT_FALSE(written);
    EXPECT_EQ(written.error.rfind("cannot rename ", 0), 0u) << written.error;
    EXPECT_NE(written.error.find(" to " + path + ": "), std::string::npos) << written.error;
    EXPECT_EQ(readFile(path), "old");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(isTemporaryFileName(entry.path().filename().string())) << entry.path();
}

TEST(WindowsFiles, AReplacedFileKeepsItsAttributes) {
    TempDir dir;
    const std::string path = dir.file("PROG");
    writeFile(path, "old");
    ASSERT_TRUE(SetFileAttributesW(fileSystemPath(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(replaceFile(path, "new"));
    EXPECT_EQ(readFile(path), "new");
    EXPECT_NE(GetFileAttributesW(fileSystemPath(path).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u)
        << "a hidden program stays hidden";
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(isTemporaryFileName(entry.path().filename().string())) << entry.path();
}

TEST(WindowsFiles, AnAppendWhileAReaderHasTheFileOpenArrivesWhole) {
    TempDir dir;
    const std::string path = dir.file("Lumetra.csv");
    writeFile(path, "1;2\r\n");
    HANDLE reader =
        CreateFileW(fileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(appendToFile(path, "3;4\r\n"));
    CloseHandle(reader);
    EXPECT_EQ(readFile(path), "1;2\r\n3;4\r\n");
}

TEST(WindowsFiles, TheTemporaryNameCarriesThisProcessAndARandomPart) {
    const std::string first = temporaryPathBeside("C:\\P\\X");
    const std::string second = temporaryPathBeside("C:\\P\\X");
    const std::string mark = "C:\\P\\.lumetra-tmp-" + std::to_string(GetCurrentProcessId()) + "-";
    EXPECT_EQ(first.rfind(mark, 0), 0u) << first;
    EXPECT_NE(first, second);
    EXPECT_TRUE(isTemporaryFileName(first.substr(5)));
}

} // namespace
} // namespace lumetra

namespace lumetra {
namespace {

TEST(WindowsErrorText, HasNoUnfilledInsertsAndShowsHresultsAsHex) {
    for (const unsigned long code : {2ul, 5ul, 87ul, 193ul, 0x80010108ul, 0x800706BAul}) {
        const std::string text = windowsErrorText(code);
        for (char digit = '1'; digit <= '9'; ++digit)
            EXPECT_EQ(text.find(std::string("%") + digit), std::string::npos)
                << code << ": " << text;
        EXPECT_FALSE(text.empty()) << code;
    }
    EXPECT_NE(windowsErrorText(0x80010108ul).find("0x80010108"), std::string::npos);
    EXPECT_EQ(windowsErrorText(0x8FFFABCDul), "error 0x8FFFABCD");
    EXPECT_EQ(windowsErrorText(0x7FFFABCDul), "error 2147462093");
}

} // namespace
} // namespace lumetra
