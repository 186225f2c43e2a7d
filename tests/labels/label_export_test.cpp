#include "labels/label_export.h"
#include "platform/posix/posix_file_probe.h"
#include "platform/posix/posix_paths.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "support/workspace.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

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

class Export : public ::testing::Test {
protected:
    Export()
        : paths(driveEnvironment(dir), "/exe"), files(probe, paths, dialogs),
          status(panel, log, pump), exporter(state, config, paths, files, status, log) {
        config.csvInPath = "C:\\csv";
        config.csvOutPath = "C:\\Lumetra.csv";
        std::filesystem::create_directories(dir.file("csv"));
    }
    TempDir dir;
    PosixPaths paths;
    PosixFileProbe probe;
    FakeDialogs dialogs;
    FileChecker files;
    FakePanel panel;
    FakePump pump;
    OperatorLog log;
    StatusLine status;
    Configuration config;
    LabelState state;
    LabelExport exporter;
};

TEST_F(Export, MovesEachProgramsFileInScanOrder) {
    writeFile(dir.file("csv/P100.CSV"), "1;2;3\r\n");
    writeFile(dir.file("csv/P200.CSV"), "4;5;6");
    writeFile(dir.file("csv/P300.CSV"), "7\r\n\r\n");
    for (const char* name : {"P100.CNC", "P200", "P300", "P100"}) {
        state.data.programName = name;
        exporter.writeLabelExport();
    }
    EXPECT_EQ(readFile(dir.file("Lumetra.csv")), "1;2;3\r\n4;5;6\r\n7\r\n\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("csv/P100.CSV")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("csv/P200.CSV")));
}

TEST_F(Export, NoInputFileWritesNothing) {
    state.data.programName = "NONE";
    exporter.writeLabelExport();
    EXPECT_FALSE(std::filesystem::exists(dir.file("Lumetra.csv")));
    EXPECT_TRUE(panel.statuses.empty());
}

TEST_F(Export, AnEmptyInputFileIsConsumedWithoutABlock) {
    writeFile(dir.file("csv/E.CSV"), "");
    state.data.programName = "E";
    exporter.writeLabelExport();
    EXPECT_FALSE(std::filesystem::exists(dir.file("csv/E.CSV")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Lumetra.csv")));
}

TEST_F(Export, AFailingCollectingFileKeepsTheInputAndSaysSo) {
    writeFile(dir.file("csv/P1.CSV"), "data\r\n");
    config.csvOutPath = "C:\\missing-folder\\Lumetra.csv";
    state.data.programName = "P1";
    exporter.writeLabelExport();
    EXPECT_TRUE(std::filesystem::exists(dir.file("csv/P1.CSV")));
    EXPECT_EQ(panel.status(),
              "CSV export failed: cannot append to C:\\missing-folder\\Lumetra.csv; "
              "C:\\csv\\P1.CSV was kept");
    std::filesystem::create_directories(dir.file("Lumetra-dir.csv"));
    config.csvOutPath = "C:\\Lumetra-dir.csv";
    exporter.writeLabelExport();
    EXPECT_TRUE(std::filesystem::exists(dir.file("csv/P1.CSV")));
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
