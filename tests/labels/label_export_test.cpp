#include "support/label_rig.h"
#include "support/temp_dir.h"
#include "support/workspace.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "platform/win32/windows_text.h"

#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

namespace lumetra {
namespace {

#ifdef _WIN32
const std::string missingFolderText = windowsErrorText(ERROR_PATH_NOT_FOUND);
#else
const std::string missingFolderText = std::strerror(ENOENT);
#endif

using namespace lumetra::testing;

TEST(LabelExportRules, BaseNameAndFinalLineEnd) {
    EXPECT_EQ(exportBaseName("P100.CNC"), "P100");
    EXPECT_EQ(exportBaseName("P100.cnc"), "P100");
    EXPECT_EQ(exportBaseName("P100"), "P100");
    EXPECT_EQ(exportBaseName(".CNC"), "");
    EXPECT_EQ(exportBaseName("CNC"), "CNC");
    EXPECT_EQ(exportBlock("a;b\r\n"), "a;b");
    EXPECT_EQ(exportBlock("a;b\n"), "a;b");
    EXPECT_EQ(exportBlock("a;b\r"), "a;b");
    EXPECT_EQ(exportBlock("a;b\r\n\r\n"), "a;b\r\n");
    EXPECT_EQ(exportBlock("a;b\n\r"), "a;b\n");
    EXPECT_EQ(exportBlock("a;b"), "a;b");
}

// The rig's CSV input folder is C:\CSV, its collecting file C:\Lumetra.csv.
class Export : public ::testing::Test {
protected:
    LabelRig rig;
    const TempDir& dir = rig.dir;
    Configuration& config = rig.config;
    LabelState& state = rig.state;
    FakePanel& panel = rig.panel;
    LabelExport& exporter = rig.exporter;
};

TEST_F(Export, MovesEachProgramsFileInScanOrder) {
    writeFile(dir.file("CSV/P100.CSV"), "1;2;3\r\n");
    writeFile(dir.file("CSV/P200.CSV"), "4;5;6");
    writeFile(dir.file("CSV/P300.CSV"), "7\r\n\r\n");
    for (const char* name : {"P100.CNC", "P200", "P300", "P100"}) {
        state.data.programName = name;
        exporter.writeLabelExport();
    }
    EXPECT_EQ(readFile(dir.file("Lumetra.csv")), "1;2;3\r\n4;5;6\r\n7\r\n\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("CSV/P100.CSV")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("CSV/P200.CSV")));
}

TEST_F(Export, NoInputFileWritesNothing) {
    state.data.programName = "NONE";
    exporter.writeLabelExport();
    EXPECT_FALSE(std::filesystem::exists(dir.file("Lumetra.csv")));
    EXPECT_TRUE(panel.statuses.empty());
}

TEST_F(Export, AnEmptyInputFileIsConsumedWithoutABlock) {
    writeFile(dir.file("CSV/E.CSV"), "");
    state.data.programName = "E";
    exporter.writeLabelExport();
    EXPECT_FALSE(std::filesystem::exists(dir.file("CSV/E.CSV")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Lumetra.csv")));
}

TEST_F(Export, AFailingCollectingFileKeepsTheInputAndSaysSo) {
    writeFile(dir.file("CSV/P1.CSV"), "data\r\n");
    config.csvOutPath = "C:\\missing-folder\\Lumetra.csv";
    state.data.programName = "P1";
    exporter.writeLabelExport();
    EXPECT_TRUE(std::filesystem::exists(dir.file("CSV/P1.CSV")));
    EXPECT_EQ(panel.status().rfind("CSV export failed: cannot create ", 0), 0u) << panel.status();
    // The system's own words for the missing folder, then what was kept.
    EXPECT_NE(panel.status().find(": " + missingFolderText + "; C:\\CSV\\P1.CSV was kept"),
              std::string::npos)
        << panel.status();
    std::filesystem::create_directories(dir.file("Lumetra-dir.csv"));
    config.csvOutPath = "C:\\Lumetra-dir.csv";
    exporter.writeLabelExport();
    EXPECT_TRUE(std::filesystem::exists(dir.file("CSV/P1.CSV")));
}

TEST_F(Export, NamesThatLeaveTheFolderAreNotMoved) {
    writeFile(dir.file("SECRET.CSV"), "x");
    state.data.programName = "..\\SECRET";
    exporter.writeLabelExport();
    EXPECT_TRUE(std::filesystem::exists(dir.file("SECRET.CSV")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Lumetra.csv")));
}

} // namespace
} // namespace lumetra
