// Paths the program builds are code-page text. In folders whose names are not ASCII
// («Fräsen», «Lager €») every file the program touches must land under the name the
// operator sees.
#include "platform/files.h"
#include "platform/portable/portable_profile.h"
#include "platform/win32/win32_file_probe.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/windows_text.h"
#include "support/label_rig.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

const std::wstring kFolders[] = {L"Fr\u00e4sen", L"Lager \u20ac"};

class NarrowPaths : public ::testing::TestWithParam<std::wstring> {
protected:
    NarrowPaths() {
        std::filesystem::create_directories(dir.path() / GetParam());
        folder = codePageFromWide(dir.path().wstring()) + "\\" + codePageFromWide(GetParam());
    }
    // Whether the file is there under its real (UTF-16) name.
    bool existsAs(const std::wstring& name) const {
        return std::filesystem::exists(dir.path() / GetParam() / name);
    }

    TempDir dir;
    std::string folder; // code-page text, as the program builds it
};

TEST_P(NarrowPaths, TheFileLayerWritesReadsAndAppendsUnderTheRealName) {
    const std::string path = folder + "\\PROG";
    ASSERT_TRUE(replaceFile(path, "one"));
    EXPECT_TRUE(existsAs(L"PROG"));
    EXPECT_EQ(readWholeFile(path), "one");
    ASSERT_TRUE(appendToFile(path, "+two"));
    EXPECT_EQ(readWholeFile(path), "one+two");
    std::FILE* file = openFile(path, "rb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(nativePathText(fileSystemPath(path)), path);

    // A temporary file of a process that no longer runs is found and removed.
    const std::wstring stale = L".lumetra-tmp-999999-0123456789abcdef";
    writeFile(dir.path() / GetParam() / stale, "left over");
    ASSERT_TRUE(existsAs(stale));
    EXPECT_EQ(removeStaleTemporaryFiles(folder),
              std::vector<std::string>{".lumetra-tmp-999999-0123456789abcdef"});
    EXPECT_FALSE(existsAs(stale));
}

TEST_P(NarrowPaths, BothProfileLayersFindTheIniFile) {
    const std::string ini = folder + "\\ORX.INI";
    Win32Profile native;
    PortableProfile portable(folder);
    ASSERT_TRUE(native.writeString(ini, "VOZEZIZO", "GCodePath", folder + "\\"));
    EXPECT_TRUE(existsAs(L"ORX.INI"));
    EXPECT_EQ(portable.readString(ini, "VOZEZIZO", "GCodePath", std::nullopt, 260), folder + "\\");
    ASSERT_TRUE(portable.writeString(ini, "VOZEZIZO", "CommPort", "3"));
    EXPECT_EQ(native.readInt(ini, "VOZEZIZO", "CommPort", 0), 3u);
}

TEST_P(NarrowPaths, TheFileProbeTellsThereFromMissing) {
    Win32FileProbe probe;
    writeFile(dir.path() / GetParam() / L"P.CSV", "x");
    EXPECT_EQ(probe.probe(folder + "\\P.CSV").result, ProbeResult::Exists);
    EXPECT_EQ(probe.probe(folder + "\\Q.CSV").result, ProbeResult::Missing);
    EXPECT_EQ(probe.probe(folder).result, ProbeResult::Missing) << "a folder is no file";
}

// The whole road of a program barcode, a list file and a CSV hand-off, with the
// program folder and the CSV folders named so.
TEST_P(NarrowPaths, ProgramsListsAndTheCsvHandOffLandInTheFolder) {
    LabelRig rig;
    const std::string name = codePageFromWide(GetParam());
    std::filesystem::create_directories(rig.dir.path() / GetParam());
    rig.config.gcodePath = "C:\\" + name + "\\";
    rig.config.csvInPath = "C:\\" + name;
    rig.config.csvOutPath = "C:\\" + name + "\\Lumetra.csv";
    const auto real = [&](const std::wstring& file) { return rig.dir.path() / GetParam() / file; };

    rig.importProgram("NAME^X800^Y600^Z18!G0 X0 Y0\r\nG1 X800\r\n");
    EXPECT_TRUE(std::filesystem::exists(real(L"NAME")));
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0].substr(0, 21), "NAME;1;;1;800;600;18;");

    writeFile(real(L"LISTA.LST"), "HEADER\r\nP100;2;A;1;600;400;18\r\n");
    EXPECT_TRUE(rig.lists.loadListFile("LISTA"));
    EXPECT_EQ(rig.lines().back().substr(0, 22), "P100;2;A;1;600;400;18;");

    writeFile(real(L"P100.CSV"), "1;2;3\r\n");
    rig.state.data.programName = "P100";
    rig.exporter.writeLabelExport();
    EXPECT_EQ(readFile(real(L"Lumetra.csv")), "1;2;3\r\n");
    EXPECT_FALSE(std::filesystem::exists(real(L"P100.CSV")));
}

INSTANTIATE_TEST_SUITE_P(Folders, NarrowPaths, ::testing::ValuesIn(kFolders), [](const auto& info) {
    return info.param == kFolders[0] ? std::string("Fraesen") : std::string("LagerEuro");
});

} // namespace
} // namespace lumetra
