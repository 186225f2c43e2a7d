// The compression library loaded by name: its operations through the payload expansion
// (memory and file routes), and the libraries it cannot use.
#include "platform/posix/posix_paths.h"
#include "platform/sim/deflate_codec.h"
#include "platform/win32/crush32_library.h"
#include "platform/win32/windows_text.h"
#include "programs/payload_expander.h"
#include "support/temp_dir.h"
#include "support/workspace.h"
#include "windows/module_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

std::string testLibrary() {
    return codePageFromWide(moduleFolder() + L"\\lumetra_test_crush.dll");
}

long callsReceived() {
    HMODULE module = GetModuleHandleW((moduleFolder() + L"\\lumetra_test_crush.dll").c_str());
    if (module == nullptr)
        return -1;
    using Count = long(WINAPI*)();
    const auto count =
        reinterpret_cast<Count>(reinterpret_cast<void (*)()>(GetProcAddress(module, "testCalls")));
    return count == nullptr ? -1 : count();
}

TEST(Compression, PayloadsExpandThroughTheLoadedLibraryOnBothRoutes) {
    LoadedCompression loaded = loadCrush32(testLibrary());
    ASSERT_TRUE(loaded.library) << loaded.failure;
    TempDir dir;
    PosixPaths paths(driveEnvironment(dir), ".");
    OperatorLog log(dir.file("operator.log"));
    PayloadExpander expander(*loaded.library, paths, log);
    const long before = callsReceived();
    for (const std::size_t size : {std::size_t{40}, std::size_t{5000}, std::size_t{30000}}) {
        std::string text;
        for (std::size_t i = 0; text.size() < size; ++i)
            text += "G1 X" + std::to_string(i % 977) + " Y" + std::to_string(i * 7 % 113) + "\r\n";
        text.resize(size);
        EXPECT_EQ(expander.expandPayload(compressedScan(text)), text) << size;
    }
    EXPECT_GT(callsReceived(), before) << "the library's own operations did the work";
}

TEST(Compression, ALibraryThatCannotBeUsedIsToldWhy) {
    TempDir dir;
    writeFile(dir.file("crush32.dll"), "MZ but no library");
    const std::string notALibrary = loadCrush32(dir.file("crush32.dll")).failure;
    EXPECT_NE(notALibrary.find("is not a library this"), std::string::npos) << notALibrary;
    EXPECT_NE(notALibrary.find("32-bit"), std::string::npos) << notALibrary;

    const std::string missing = loadCrush32(dir.file("absent.dll")).failure;
    EXPECT_EQ(missing.rfind(dir.file("absent.dll") + " cannot be loaded: ", 0), 0u) << missing;

    // A library without the operations (the test program's own COM server library).
    const std::string other = codePageFromWide(moduleFolder() + L"\\lumetra_test_host.dll");
    EXPECT_EQ(loadCrush32(other).failure, other + " lacks the operation cxInit");
}

} // namespace
} // namespace lumetra
