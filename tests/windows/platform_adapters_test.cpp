// What the composition root is given on Windows: the system's adapters, COM unless the
// simulator is asked for, crush32.dll when it loads and DEFLATE otherwise, COM<n> ports,
// and one instance per program folder.
#include "app/platform_adapters.h"
#include "platform/sim/deflate_codec.h"
#include "platform/win32/com_automation.h"
#include "platform/win32/windows_text.h"
#include "support/temp_dir.h"
#include "windows/module_folder.h"
#include "windows/recording_log.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <windows.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

Environment environmentOf(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const std::string& name) -> std::optional<std::string> {
        const auto found = values.find(name);
        if (found == values.end())
            return std::nullopt;
        return found->second;
    };
}

TEST(WindowsAdapters, TheHostIsComUnlessTheSimulatorIsAskedFor) {
    PlatformAdapters plain(environmentOf({}), "C:\\Lumetra");
    EXPECT_FALSE(plain.hostIsSimulated());
    const auto automation = plain.hostAutomation({});
    EXPECT_NE(dynamic_cast<ComAutomation*>(automation.get()), nullptr);

    PlatformAdapters simulated(environmentOf({{"LUMETRA_HOST", "simulator"}}), "C:\\Lumetra");
    EXPECT_TRUE(simulated.hostIsSimulated());
    EXPECT_EQ(simulated.hostAutomation({}), nullptr);
}

TEST(WindowsAdapters, TheCompressionLibraryWhenItLoadsAndDeflateOtherwise) {
    const std::string library = codePageFromWide(moduleFolder() + L"\\lumetra_test_crush.dll");
    RecordingLog log;
    PlatformAdapters present(environmentOf({{"LUMETRA_COMPRESSION_DLL", library}}), ".");
    const auto loaded = present.compression(log);
    EXPECT_EQ(dynamic_cast<DeflateLibrary*>(loaded.get()), nullptr);
    EXPECT_EQ(log.infos,
              std::vector<std::string>{"compression library loaded in process: " + library});

    PlatformAdapters absent(environmentOf({{"LUMETRA_COMPRESSION_DLL", "absent-crush.dll"}}), ".");
    const auto standIn = absent.compression(log);
    EXPECT_NE(dynamic_cast<DeflateLibrary*>(standIn.get()), nullptr);
    ASSERT_EQ(log.errors.size(), 1u);
    EXPECT_EQ(log.errors[0].rfind("absent-crush.dll cannot be loaded: ", 0), 0u) << log.errors[0];
    EXPECT_NE(log.errors[0].find("compressed scans are expanded as raw DEFLATE"),
              std::string::npos);
}

TEST(WindowsAdapters, PathsAreUsedAsTheyAreAndPortsAreComN) {
    PlatformAdapters adapters(environmentOf({{"LUMETRA_PROGRAM_DIR", "D:\\Fr\xE4sen"}}), "C:\\x");
    EXPECT_EQ(adapters.paths().programFolder(), "D:\\Fr\xE4sen");
    EXPECT_EQ(adapters.paths().map("C:\\VELMORA\\PRODUCT\\P1"), "C:\\VELMORA\\PRODUCT\\P1");
    EXPECT_FALSE(adapters.paths().windowsDirectory().empty());
    EXPECT_EQ(adapters.defaultScannerDevice(1), "COM1");
    EXPECT_EQ(adapters.defaultScannerDevice(12), "COM12");
}

TEST(WindowsAdapters, OneInstancePerProgramFolder) {
    TempDir dir;
    const std::string folder = dir.str() + "\\Lager \x80";
    PlatformAdapters first(environmentOf({}), folder);
    ASSERT_TRUE(first.instanceGuard().acquire());
    EXPECT_TRUE(first.instanceGuard().acquire()) << "asking again changes nothing";
    for (const std::string& same : {folder, folder + "\\", dir.str() + "\\LAGER \x80"}) {
        PlatformAdapters second(environmentOf({}), same);
        EXPECT_FALSE(second.instanceGuard().acquire()) << same;
    }
    PlatformAdapters elsewhere(environmentOf({}), dir.str() + "\\Other");
    EXPECT_TRUE(elsewhere.instanceGuard().acquire());
}

// One folder spelled three ways (its long name, its short name, with a "." component) is
// one folder: one instance.
TEST(WindowsAdapters, OneFolderSpelledThreeWaysIsOneInstance) {
    TempDir dir;
    const std::wstring longName = dir.path().wstring() + L"\\Lumetra Program Folder";
    std::filesystem::create_directories(longName);
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(longName.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortName), longName) << "no short name to spell the folder with";
    PlatformAdapters first(environmentOf({}), codePageFromWide(longName));
    ASSERT_TRUE(first.instanceGuard().acquire());
    const std::string dotted =
        codePageFromWide(dir.path().wstring() + L"\\.\\Lumetra Program Folder");
    for (const std::string& same : {codePageFromWide(shortName), dotted}) {
        PlatformAdapters second(environmentOf({}), same);
        EXPECT_FALSE(second.instanceGuard().acquire()) << same;
    }
}

} // namespace
} // namespace lumetra
