// The workstation check's questions to Windows, answered without changing anything.
#include "platform/files.h"
#include "platform/win32/win32_workstation_probe.h"
#include "support/temp_dir.h"
#include "windows/module_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

std::string helperPath() {
    return nativePathText(std::filesystem::path(moduleFolder() + L"\\lumetra-expand32.exe"));
}

TEST(WorkstationProbe, FoldersFilesAndProgramsSayWhatKeepsThemFromUse) {
    TempDir dir;
    Win32WorkstationProbe probe("crush32.dll", helperPath());
    const std::string folder = dir.file("Fr\xE4sen");
    std::filesystem::create_directories(fileSystemPath(folder));
    EXPECT_EQ(probe.folderProblem(folder), std::nullopt);
    EXPECT_EQ(probe.folderProblem(dir.file("missing")), "it does not exist");
    const std::string file = folder + "\\ORX.INI";
    writeFile(file, "[VOZEZIZO]\r\n");
    EXPECT_EQ(probe.folderProblem(file), "it is not a folder");
    EXPECT_EQ(probe.fileWriteProblem(file), std::nullopt);
    SetFileAttributesW(fileSystemPath(file).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(probe.fileWriteProblem(file), "it is read-only");
    SetFileAttributesW(fileSystemPath(file).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(probe.programProblem(file), "it is not a Windows program");
    EXPECT_EQ(probe.programProblem(helperPath()), std::nullopt);
    EXPECT_EQ(probe.programProblem(dir.file("Scrivon.exe")), "it does not exist");
}

TEST(WorkstationProbe, AMissingPortIsNotPresent) {
    Win32WorkstationProbe probe("crush32.dll", helperPath());
    const DeviceState state = probe.scannerDevice("COM87");
    EXPECT_FALSE(state.present);
    EXPECT_FALSE(state.userName.empty());
}

TEST(WorkstationProbe, HostClassesAreLookedUpAndTheLibraryByItsHeader) {
    const std::wstring key = L"Lumetra.ProbeTest\\CLSID";
    const std::wstring id = L"{6F1C2B1E-2A4D-4C7B-9E55-0D7A1B2C3D4E}";
    RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, id.c_str(),
                    static_cast<DWORD>((id.size() + 1) * sizeof(wchar_t)));
    const std::string testLibrary =
        nativePathText(std::filesystem::path(moduleFolder() + L"\\lumetra_test_crush.dll"));
    Win32WorkstationProbe probe(testLibrary, helperPath());
    const auto findings = probe.platformFindings({"Lumetra.ProbeTest", "No.Such.Class"});
    ASSERT_EQ(findings.size(), 3u);
    EXPECT_EQ(findings[0].verdict, Verdict::Ok);
    EXPECT_EQ(findings[1].verdict, Verdict::Error);
    EXPECT_EQ(findings[1].text, "No.Such.Class is not registered");
    EXPECT_EQ(findings[2].verdict, Verdict::Ok) << findings[2].text;
    EXPECT_NE(findings[2].text.find("(64-bit) is used in the program"), std::string::npos)
        << findings[2].text;
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Lumetra.ProbeTest");

    Win32WorkstationProbe missing("no-such-crush.dll", helperPath());
    const auto without = missing.platformFindings({});
    ASSERT_EQ(without.size(), 1u);
    EXPECT_EQ(without[0].verdict, Verdict::Warning);
    EXPECT_NE(without[0].text.find("raw DEFLATE"), std::string::npos);
}

} // namespace
} // namespace lumetra
