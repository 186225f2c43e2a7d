// The file layer on Windows, where another program may hold a file open.
#include "common/files.h"
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
    EXPECT_EQ(written.error.rfind("cannot rename " + temporaryFileName(path) + " to " + path, 0),
              0u)
        << written.error;
    EXPECT_EQ(readFile(path), "old");
    EXPECT_FALSE(std::filesystem::exists(temporaryFileName(path)));
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

TEST(WindowsFiles, TheTemporaryNameCarriesThisProcess) {
    EXPECT_EQ(temporaryFileName("C:\\P\\X"),
              "C:\\P\\X.lumetra-tmp-" + std::to_string(GetCurrentProcessId()));
    EXPECT_TRUE(isTemporaryFileName("X.lumetra-tmp-" + std::to_string(GetCurrentProcessId())));
}

} // namespace
} // namespace lumetra
