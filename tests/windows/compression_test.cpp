// The compression library loaded by name: its operations through the payload expansion
// (memory and file routes), and the libraries it cannot use.
#include "platform/posix/posix_paths.h"
#include "platform/sim/deflate_codec.h"
#include "platform/win32/crush32_library.h"
#include "platform/win32/helper_compression.h"
#include "platform/win32/windows_text.h"
#include "programs/payload_expander.h"
#include "support/temp_dir.h"
#include "support/workspace.h"
#include "windows/module_folder.h"

#include <gtest/gtest.h>
#include <vector>
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

// A Windows program header of the given machine, and nothing a loader could use.
std::string programHeader(std::uint16_t machine) {
    std::string bytes(0x40, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3C] = 0x40;
    bytes += std::string("PE\0\0", 4);
    bytes += static_cast<char>(machine & 0xFF);
    bytes += static_cast<char>(machine >> 8);
    return bytes + std::string(200, '\0');
}

TEST(Compression, ALibraryThatCannotBeUsedIsToldWhy) {
    TempDir dir;
    writeFile(dir.file("crush32.dll"), "MZ but no library");
    const LoadedCompression corrupt = loadCrush32(dir.file("crush32.dll"));
    EXPECT_EQ(corrupt.failure, dir.file("crush32.dll") + " is not a library: it has no Windows "
                                                         "program header");
    EXPECT_FALSE(corrupt.otherWidth);

    writeFile(dir.file("crush32w.dll"), programHeader(0x14C));
    EXPECT_EQ(programMachine(dir.file("crush32w.dll")), 0x14C);
    const LoadedCompression narrow = loadCrush32(dir.file("crush32w.dll"));
    EXPECT_TRUE(narrow.otherWidth) << narrow.failure;
    EXPECT_EQ(narrow.failure, dir.file("crush32w.dll") +
                                  " is a 32-bit library, which this 64-bit program cannot load "
                                  "in process");
    EXPECT_EQ(programMachine(testLibrary()), 0x8664);
    EXPECT_FALSE(programMachine(dir.file("absent.dll")));

    const std::string missing = loadCrush32(dir.file("absent.dll")).failure;
    EXPECT_EQ(missing.rfind(dir.file("absent.dll") + " cannot be loaded: ", 0), 0u) << missing;

    // A library without the operations (the test program's own COM server library).
    const std::string other = codePageFromWide(moduleFolder() + L"\\lumetra_test_host.dll");
    EXPECT_EQ(loadCrush32(other).failure, other + " lacks the operation cxInit");
}

// The helper of the library's width, here built for 64 bits like the test library: its
// protocol on both routes, and every way it can fail, each told and none hanging.
class Helper : public ::testing::Test {
protected:
    Helper() : paths(driveEnvironment(dir), "."), log(dir.file("operator.log")) {
        std::filesystem::create_directories(dir.file("work"));
        SetEnvironmentVariableW(L"LUMETRA_TEST_CRUSH", nullptr);
    }
    ~Helper() override { SetEnvironmentVariableW(L"LUMETRA_TEST_CRUSH", nullptr); }
    std::string expand(const std::string& text, const std::string& helper,
                       const std::string& library, unsigned long timeout = 30000) {
        HelperCompression compression(helper, library, dir.file("work"), log, timeout);
        PayloadExpander expander(compression, paths, log);
        return expander.expandPayload(compressedScan(text));
    }
    static std::string helperProgram() {
        return codePageFromWide(moduleFolder() + L"\\lumetra-expand32.exe");
    }
    std::string logged() { return readFile(dir.file("operator.log")); }

    TempDir dir;
    PosixPaths paths;
    OperatorLog log;
};

TEST_F(Helper, ExpandsOnBothRoutes) {
    for (const std::size_t size : {std::size_t{40}, std::size_t{23072}, std::size_t{30000}}) {
        std::string text;
        for (std::size_t i = 0; text.size() < size; ++i)
            text += "G1 X" + std::to_string(i % 977) + "\r\n";
        text.resize(size);
        EXPECT_EQ(expand(text, helperProgram(), testLibrary()), text) << size;
    }
    EXPECT_EQ(logged().find("\terror\t"), std::string::npos) << logged();
}

TEST_F(Helper, EveryFailureIsToldAndNoneHangs) {
    const std::string text(30000, 'x');
    EXPECT_EQ(expand(text, helperProgram(), dir.file("absent.dll")), "");
    EXPECT_NE(logged().find("did not expand (file route): it cannot use the library"),
              std::string::npos)
        << logged();
    EXPECT_EQ(expand("short", helperProgram(), dir.file("absent.dll")), "");
    EXPECT_NE(logged().find("did not expand (buffer route)"), std::string::npos);

    // The library reports nothing: the expanded file's length tells it failed.
    SetEnvironmentVariableW(L"LUMETRA_TEST_CRUSH", L"fail");
    EXPECT_EQ(expand(text, helperProgram(), testLibrary()), "");
    EXPECT_NE(logged().find("the data expanded to 0 characters, 30000 were stated"),
              std::string::npos)
        << logged();

    EXPECT_EQ(expand(text, dir.file("missing\\lumetra-expand32.exe"), testLibrary()), "");
    EXPECT_NE(logged().find("cannot be started"), std::string::npos) << logged();

    SetEnvironmentVariableW(L"LUMETRA_TEST_CRUSH", L"hang");
    EXPECT_EQ(expand(text, helperProgram(), testLibrary(), 1500), "");
    EXPECT_NE(logged().find("was ended after 1500 ms without an answer"), std::string::npos);
}

} // namespace
} // namespace lumetra

namespace lumetra {
namespace {

// What Windows reads from the executables before they run: the helper carries the same
// resources as the program (which cannot be built here).
TEST(Resources, TheExecutablesCarryManifestVersionAndIcon) {
    const std::wstring helper = moduleFolder() + L"\\lumetra-expand32.exe";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(helper.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(helper.c_str(), 0, size, data.data()));
    wchar_t* version = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904b0\\FileVersion",
                               reinterpret_cast<void**>(&version), &length));
    EXPECT_EQ(codePageFromWide(version), LUMETRA_VERSION);
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 7u);

    HMODULE module = LoadLibraryExW(helper.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr) << "no manifest";
    const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                           SizeofResource(module, manifest));
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos) << text;
    EXPECT_NE(text.find("longPathAware"), std::string::npos);
    EXPECT_NE(text.find("PerMonitorV2"), std::string::npos);
    // Qt's windows platform plug-in gives its windows the icon of this name.
    EXPECT_NE(FindResourceW(module, L"IDI_ICON1", MAKEINTRESOURCEW(14)), nullptr)
        << "no icon IDI_ICON1 (RT_GROUP_ICON)";
    FreeLibrary(module);
}

} // namespace
} // namespace lumetra
