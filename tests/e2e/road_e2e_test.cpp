#include "e2e/harness.h"
#include "platform/sim/deflate_codec.h"
#include "support/pty_pair.h"
#include "support/workspace.h"

#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace lumetra::e2e {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

// The program on a pty with a program folder on drive C, run as an operator would.
class Road : public ::testing::Test {
protected:
    void start(const std::string& extraKeys = {}, std::map<std::string, std::string> env = {}) {
        if (!pty.valid())
            GTEST_SKIP() << "no pseudo-terminal could be opened";
        std::filesystem::create_directories(workspace.drive('c') + "/PRODUCT");
        std::filesystem::create_directories(workspace.drive('c') + "/CSV");
        workspace.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=" + pty.path() +
                           "\r\nGCodePath=C:\\PRODUCT\\\r\nCSVInPath=C:\\CSV\\\r\n"
                           "CSVOutPath=C:\\Lumetra.csv\r\nAutoClear= 0\r\n" +
                           extraKeys);
        run = std::make_unique<ProgramRun>(workspace, env);
        ASSERT_TRUE(waitForText(workspace.logPath(), "scanner port open")) << workspace.log();
        ASSERT_TRUE(waitForText(workspace.logPath(), "\tinfo\tstart-up complete"));
    }
    void scan(const std::string& text) {
        const auto before = count("\tstatus\tReady.\n") +
                            count("\tstatus\t Waiting for next barcode...\n") +
                            count("\tstatus\tBarcode Formating Error.") +
                            count("\tstatus\tRun Field Not Selected\n");
        pty.send(text);
        for (int i = 0; i < 200; ++i) {
            const auto now = count("\tstatus\tReady.\n") +
                             count("\tstatus\t Waiting for next barcode...\n") +
                             count("\tstatus\tBarcode Formating Error.") +
                             count("\tstatus\tRun Field Not Selected\n");
            if (now > before)
                return;
            std::this_thread::sleep_for(50ms);
        }
        ADD_FAILURE() << "no outcome for «" << text << "»\n" << workspace.log();
    }
    std::size_t count(const std::string& needle) {
        return testing::occurrences(workspace.log(), needle);
    }
    std::vector<std::string> journal() { return testing::journalMembers(workspace.journalPath()); }
    std::vector<std::string> linesAdded() { return testing::linesAdded(workspace.journalPath()); }

    Workspace workspace;
    PtyPair pty;
    std::unique_ptr<ProgramRun> run;
};

TEST_F(Road, AThreeRecordLabelBecomesOneLine) {
    start();
    scan("%13P100!N!13!%");
    scan("%23600!400!18!%");
    pty.send("%33");
    std::this_thread::sleep_for(50ms);
    scan("1!2!3!4!%");
    EXPECT_EQ(linesAdded(), std::vector<std::string>{"P100;1;N;1;600;400;18;;;13;;1;2;3;4;;;;;"});
    const auto entries = journal();
    const std::vector<std::string> expected = {
        "Pelitrax.Application#1\tVisible=\tTrue",
        "Velmora.ExeList#1\tVisible=\tTrue",
        "Velmora.ExeList#1\tClear",
        "Velmora.ExeList#1\tAddLine\tP100;1;N;1;600;400;18;;;13;;1;2;3;4;;;;;",
        "Pelitrax.Application#1\tSetDeviceStatus\tKESTRAVIL.MAIN.AddProg\t1",
        "Velmora.ExeList#1\tStart",
    };
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(pty.receive(3s, 4), "ACK\r");
    EXPECT_EQ(count("\tstatus\t Waiting for next barcode...\n"), 2u);
    EXPECT_EQ(count("\tstatus\tAdding to Barcode data to List.\n"), 1u);
}

TEST_F(Road, TheConsoleVariantSendsTaggedLines) {
    testing::writeFile(workspace.programDir() + "/pultano.exe", "");
    start();
    pty.send("%A%");
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tReading Barcode-Label.%A%\n"));
    pty.send("%12P7!N!%");
    std::this_thread::sleep_for(500ms);
    scan("%22600!400!18!%");
    scan("%END%");
    const std::vector<std::string> expected = {
        "Pultano.Application#1\tVisible=\tTrue",
        "Pultano.ExeList#1\tVisible=\tTrue",
        "Pultano.ExeList#1\tClearList",
        "Pultano.ExeList#1\tAddLine\t#161=P7.CNC;#164=1;#171=4;#284=1;#280=;#165=1;#168=600;"
        "#169=400;#170=18;#282=;#283=;",
        "Pelitrax.Application#1\tSetDeviceStatus\tKESTRAVIL.MAIN.AddProg\t1",
        "Pultano.ExeList#1\tStartList",
        "Pultano.ExeList#1\tEndList",
    };
    EXPECT_EQ(journal(), expected);
}

TEST_F(Road, CommandsExportFilesAndListFiles) {
    testing::writeFile(workspace.drive('c') + "/CSV/P100.CSV", "P100;DOOR\r\n");
    testing::writeFile(workspace.drive('c') + "/PRODUCT/LISTA.LST",
                       "NAME;REP;FIELD\r\nL1;2;S;1;100;200;18\r\nEND\r\nL2;1;T;1\r\n");
    start();
    scan("%SETP%");
    scan("%N%P100");
    scan("%01LISTA");
    scan("%STOP%");
    EXPECT_EQ(testing::readFile(workspace.drive('c') + "/Lumetra.csv"), "P100;DOOR\r\n");
    EXPECT_FALSE(std::filesystem::exists(workspace.drive('c') + "/CSV/P100.CSV"));
    const std::vector<std::string> lines = {"P100;1;N;1;0;0;0;;;;;;;;;;;;;",
                                            "L1;2;S;1;100;200;18;;;;;;;;;;;;;",
                                            "L2;1;T;1;;;;;;;;;;;;;;;;"};
    EXPECT_EQ(linesAdded(), lines);
    EXPECT_EQ(count("\tstatus\tReady.\n"), 4u);
    const auto entries = journal();
    const auto list = std::find(entries.begin(), entries.end(),
                                "Velmora.ExeList#1\tAddLine\tL1;2;S;1;100;200;18;;;;;;;;;;;;;");
    ASSERT_NE(list, entries.end());
    EXPECT_EQ(*(list - 1), "Velmora.ExeList#1\tClear") << "the list record clears the list first";
    EXPECT_EQ(entries[3], "Pelitrax.Application#1\tSetDeviceStatus\tKESTRAVIL.MAIN.CmdSetP\t1");
    EXPECT_EQ(entries.back(), "Velmora.ExeList#1\tStop");
}

TEST_F(Road, ADroppedListIsCreatedAnew) {
    start({}, {{"LUMETRA_HOST_DROP_LIST_AT", "2"}});
    scan("%N%P1");
    scan("%N%P2");
    const auto entries = journal();
    const auto second =
        std::find(entries.begin(), entries.end(), "Velmora.ExeList#2\tVisible=\tTrue");
    ASSERT_NE(second, entries.end()) << testing::readFile(workspace.journalPath());
    ASSERT_LT(second + 2, entries.end());
    EXPECT_EQ(*(second + 1), "Velmora.ExeList#2\tClear");
    EXPECT_EQ((second + 2)->substr(0, 29), "Velmora.ExeList#2\tAddLine\tP2;");
    EXPECT_EQ(linesAdded().size(), 2u) << "the dropped call never reached the list";
}

TEST_F(Road, AMirrorTriggerInTheNameGivesAPair) {
    start("AutoSelSetting=1\r\nPNameMSel=0\r\nPNameNandMLR=-1\r\nPNameNandMCPos=1\r\n"
          "PNameNandMText=D\r\nFieldCode_FFS=FS\r\nFieldFlag_FFS= 1\r\nFieldCode_FFR=FR\r\n"
          "FieldFlag_FFR= 1\r\nHalfLimitX=1500\r\nHalfLimitY=600\r\nFieldCode_SFN=N\r\n"
          "FieldCode_SFM=M\r\n");
    pty.send("%12DOOR!N!%");
    std::this_thread::sleep_for(500ms);
    scan("%221000!500!18!%");
    scan("WALL");
    // The terminator stays in the last value of the record: the exclusions are "%".
    const std::vector<std::string> lines = {"DOOR;1;FS;1;1000;500;18;;;%;;;;;;;;;;",
                                            "DOOR;1;FR;1;1000;500;18;;;%;;;;;;;;;;",
                                            "WALL;1;FS;1;0;0;0; ; ; ; ; ; ; ; ; ; ; ; ;"};
    EXPECT_EQ(linesAdded(), lines);
    EXPECT_EQ(pty.receive(3s, 12), "ACK\rACK\rACK\r");
}

TEST_F(Road, RefusedScansSayWhy) {
    start();
    scan("%%");
    EXPECT_EQ(count("\tstatus\tBarcode Formating Error.  %%\n"), 1u);
    scan("PLAIN");
    EXPECT_EQ(count("\tstatus\tRun Field Not Selected\n"), 1u);
    scan("%12..\\..\\X!N!%");
    EXPECT_EQ(count("\tstatus\tBarcode Formating Error.  %12..\\\\..\\\\X N %\n"), 1u);
    EXPECT_TRUE(linesAdded().empty());
    EXPECT_TRUE(run->running());
}

TEST_F(Road, AProgramBarcodeSavesItsProgramAndAddsItsLine) {
    start();
    const std::string body = "G71 X800 Y600 Z18\r\n(BARCODE PROGRAM)\r\nG0 X0 Y0\r\nM30";
    scan("P500^X800^Y600^UA^C3!" + body);
    EXPECT_EQ(testing::readFile(workspace.drive('c') + "/PRODUCT/P500"), body);
    EXPECT_EQ(linesAdded(),
              std::vector<std::string>{"P500;1;A;1;800;600;18;BARCODE PROGRAM;;;;;;3;;;;;;"})
        << "Z came from the saved program";
    EXPECT_EQ(pty.receive(500ms, 1), "") << "program barcodes are not acknowledged";
    EXPECT_NE(workspace.log().find("\tstatus\tWait saving g-code.\n"), std::string::npos);
}

TEST_F(Road, ListLoadPrefixedAndCompressedScans) {
    testing::writeFile(workspace.drive('c') + "/PRODUCT/LISTB.LST", "HEADER LINE\r\nLB;3;M;1\r\n");
    start();
    scan("*%00LISTB^%");
    scan("\xD1"
         "PRG0001PRE^X1^Y2^Z3!0123456789ABCDEF");
    pty.send(compressedScan("%N%"));
    ASSERT_TRUE(waitForText(workspace.logPath(), "\tstatus\tReading Barcode-Label.%N%\n"));
    scan(compressedScan("%11P100!N!13!%"));
    scan(compressedScan("ZIP^X4^Y5^Z6!" + std::string(30000, 'Z')));
    const std::vector<std::string> lines = {
        "LB;3;M;1;;;;;;;;;;;;;;;;", "PRE;1; ;1;1;2;3;; ; ; ; ; ; ; ; ; ; ; ;",
        "P100;1;N;1;0;0;0;; ;13; ; ; ; ; ; ; ; ; ;", "ZIP;1; ;1;4;5;6;; ; ; ; ; ; ; ; ; ; ; ;"};
    EXPECT_EQ(linesAdded(), lines);
    EXPECT_EQ(testing::readFile(workspace.drive('c') + "/PRODUCT/ZIP"), std::string(30000, 'Z'));
    EXPECT_TRUE(std::filesystem::exists(workspace.drive('c') + "/PRODUCT/PRE"));
    EXPECT_TRUE(std::filesystem::exists(workspace.drive('c') + "/Velmora/Bin/Temp.Cmp"))
        << "30000 characters took the file route";
}

TEST_F(Road, BadProgramBarcodesWriteNothingOutside) {
    start();
    scan("..\\..\\ESCAPE^X1!0123456789ABCDEF");
    pty.send(compressedScan("corrupt").substr(0, 14));
    std::this_thread::sleep_for(600ms);
    scan("%START%");
    EXPECT_FALSE(std::filesystem::exists(workspace.drive('c') + "/ESCAPE"));
    EXPECT_NE(workspace.log().find("compressed scan dropped"), std::string::npos);
    EXPECT_TRUE(linesAdded().empty());
    EXPECT_TRUE(run->running());
}

} // namespace
} // namespace lumetra::e2e

namespace lumetra::e2e {
namespace {

// One run of the program over a sequence of scans, each followed by `suffix` as a
// scanner set up to end its barcodes would send it; returns the lines the host got.
std::vector<std::string> linesFor(const std::string& suffix) {
    Workspace workspace;
    PtyPair pty;
    if (!pty.valid())
        return {"no pty"};
    std::filesystem::create_directories(workspace.drive('c') + "/PRODUCT");
    testing::writeFile(workspace.drive('c') + "/PRODUCT/P300", "G71 X10 Y20 Z3\r\n(PLAIN ONE)\r\n");
    workspace.writeIni("[VOZEZIZO]\r\nCommPollTime=100\r\nCom1Device=" + pty.path() +
                       "\r\nGCodePath=C:\\PRODUCT\\\r\nAutoClear= 0\r\nFieldCode_DFN=N\r\n");
    ProgramRun run(workspace);
    if (!waitForText(workspace.logPath(), "\tinfo\tstart-up complete"))
        return {"no start"};
    // Each scan is sent once the one before has been framed and handled.
    std::size_t handled = 0;
    const auto settled = [&] {
        const std::string log = workspace.log();
        std::size_t n = 0;
        for (const char* end : {"\tstatus\tReady.\n", "\tstatus\t Waiting for next barcode...\n",
                                "\tstatus\tBarcode Formating Error.", "\tinfo\tfield "})
            n += testing::occurrences(log, end);
        return n;
    };
    const std::string scans[] = {
        "%13P100 N 13 %", "%23600 400 18 %",
        "%331 2 3 4 %",   "%S%",
        "%11P200 A %",    "P300",
        "%11P;1 A 5 %",   "%a1%",
        "%11 N 13 %",     "PROG^X800^Y600^Z18!0123456789ABCDEF",
        "%12P400 M %",    "P500",
        "%21 1 1 %",      "%CLEAR%",
        "%START%",
    };
    for (const std::string& text : scans) {
        pty.send(text + suffix);
        for (int i = 0; i < 100 && settled() == handled; ++i)
            std::this_thread::sleep_for(50ms);
        handled = settled();
        std::this_thread::sleep_for(150ms); // the suffix's own quiet ticks
    }
    std::vector<std::string> lines = testing::linesAdded(workspace.journalPath());
    if (workspace.log().find("\tstatus\tBarcode Formating Error.  \r") != std::string::npos)
        lines.push_back("a line end was refused as a scan");
    return lines;
}

TEST(ScannerSuffixE2E, LineEndsAfterEachBarcodeGiveTheSameLines) {
    const std::vector<std::string> expected = {
        "P100;1;N;1;600;400;18;;;13;;1;2;3;4;;;;;",
        "P200;1;S;1;0;0;0;; ;%; ; ; ; ; ; ; ; ; ;",
        "P300;1;N;1;10;20;3; ; ; ; ; ; ; ; ; ; ; ; ;",
        "PROG;1; ;1;800;600;18;; ; ; ; ; ; ; ; ; ; ; ;",
        "P500;1;N;1;0;0;0; ; ; ; ; ; ; ; ; ; ; ; ;",
    };
    EXPECT_EQ(linesFor(""), expected);
    EXPECT_EQ(linesFor("\r\n"), expected);
}

} // namespace
} // namespace lumetra::e2e

namespace lumetra::e2e {
namespace {

// Refused scans through the pty: each says so with its whole text and changes nothing
// the next label could inherit.
TEST_F(Road, RefusedScansChangeNothingThroughThePty) {
    testing::writeFile(workspace.drive('c') + "/PRODUCT/LISTA.LST", "HEADER LINE\r\nL1;1;N;1\r\n");
    testing::writeFile(workspace.drive('c') + "/PRODUCT/P8", "G71 X10 Y20 Z3\r\n(EIGHT)\r\n");
    start("FieldCode_DFN=S\r\n");
    scan("%12P1 A %");   // a label in progress
    scan("%01../LISTA"); // a list name leaving its folder
    EXPECT_EQ(count("\tstatus\tBarcode Formating Error.  %01../LISTA\n"), 1u);
    scan("%a1%");            // a lower-case field-code barcode
    scan("%11P;1 A 5 %");    // the line separator in a name
    scan("%22600 400 18 %"); // completes the label in progress
    pty.send("%S%");         // a field chosen ...
    ASSERT_TRUE(
        waitForText(workspace.logPath(), "\tinfo\tfield S chosen by \xC2\xAB%S%\xC2\xBB\n"));
    scan("%12P600 M %");
    scan("%CLEAR%"); // ... ends with the reset
    scan("%11P601 A %");
    scan("%13P2 T %"); // a label in progress ...
    scan("P8 . ");     // ... ended by a plain label, whose file is P8
    EXPECT_EQ(linesAdded(), (std::vector<std::string>{
                                "P1;1;A;1;600;400;18;;;%;;;;;;;;;;",
                                "P601;1;A;1;0;0;0;; ;%; ; ; ; ; ; ; ; ; ;",
                                "P8 .;1;S;1;10;20;3; ; ; ; ; ; ; ; ; ; ; ; ;",
                            }));
    EXPECT_EQ(count("Velmora.ExeList#1\tClear"), 0u) << "no refused scan cleared the list";
    const auto entries = journal();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "Velmora.ExeList#1\tClear"), 1)
        << "only the first label's reset of the list";
}

TEST_F(Road, AProgramBarcodeLongerThanTheScanBufferIsNeverSaved) {
    start();
    std::string barcode = "HUGE^X1^Y2^Z3!";
    barcode += std::string(1100 * 1024, 'G');
    for (std::size_t at = 0; at < barcode.size(); at += 32 * 1024)
        pty.send(barcode.substr(at, 32 * 1024));
    ASSERT_TRUE(
        waitForText(workspace.logPath(), "\tstatus\tScan dropped: longer than the scan", 30s));
    scan("%START%");
    EXPECT_FALSE(std::filesystem::exists(workspace.drive('c') + "/PRODUCT/HUGE"));
    EXPECT_TRUE(linesAdded().empty());
}

} // namespace
} // namespace lumetra::e2e

namespace lumetra::e2e {
namespace {

TEST_F(Road, EmptyListNamesChangeNothing) {
    start();
    for (const std::string text : {"%0$", "%01", "%01!!", "*%00^x"}) {
        scan(text);
        EXPECT_EQ(count("\tstatus\tBarcode Formating Error.  "), count("\tscan\t")) << text;
    }
    EXPECT_EQ(journal(), std::vector<std::string>{"Pelitrax.Application#1\tVisible=\tTrue"})
        << "no host call but start-up's: not even the first scan's list reset";
    EXPECT_EQ(workspace.log().find("List File"), std::string::npos) << workspace.log();
}

TEST_F(Road, ScansThatResetTheLabelEndTheLabelInProgress) {
    testing::writeFile(workspace.drive('c') + "/PRODUCT/LISTA.LST", "HEADER LINE\r\nL1;1;N;1\r\n");
    start();
    scan("%12P1!A!%");
    scan("*%00LISTA^x");
    scan("%11P2!N!%");
    scan("%12P3!A!%");
    scan("x^y");
    scan("%11P4!N!%");
    const auto lines = linesAdded();
    ASSERT_EQ(lines.size(), 3u) << workspace.log();
    EXPECT_EQ(lines[0].substr(0, 3), "L1;");
    EXPECT_EQ(lines[1].substr(0, 9), "P2;1;N;1;");
    EXPECT_EQ(lines[2].substr(0, 9), "P4;1;N;1;");
    EXPECT_EQ(count("\tinfo\tunfinished label discarded by a program barcode\n"), 2u);
}

TEST_F(Road, AProgramThatCannotBeSavedAddsNoLine) {
    const std::string product = workspace.drive('c') + "/PRODUCT";
    testing::writeFile(product + "/CABINET", "G71 X900 Y560 Z5\r\n(OLD CABINET)\r\n");
    start({},
          {{"LD_PRELOAD", LUMETRA_FAULT_SHIM}, {"LUMETRA_FAULT", "rename:1:5:PRODUCT/CABINET"}});
    const std::string barcode = "CABINET^X900^Y560^UN!G71 X900 Y560 Z19\r\n(CABINET SIDE)\r\nM30";
    pty.send(barcode);
    ASSERT_TRUE(waitForText(workspace.logPath(), "was not added: its program file was not saved"))
        << workspace.log();
    EXPECT_TRUE(linesAdded().empty()) << "the old program would run under the new line";
    EXPECT_EQ(testing::readFile(product + "/CABINET"), "G71 X900 Y560 Z5\r\n(OLD CABINET)\r\n");
    std::this_thread::sleep_for(1500ms);
    const std::string log = workspace.log();
    EXPECT_EQ(log.substr(log.rfind("\tstatus\t")).rfind("\tstatus\tProgram file not saved: ", 0),
              0u)
        << "the status line keeps the failure";
}

TEST_F(Road, ACompressedProgramKeepsItsFinalCarriageReturn) {
    start();
    const std::string body = "G71 X1 Y2 Z3\r\n(CR)\r\nM30\r";
    scan(compressedScan("CRPROG^X1^Y2^Z3!" + body));
    EXPECT_EQ(testing::readFile(workspace.drive('c') + "/PRODUCT/CRPROG"), body);
}

TEST_F(Road, AListAddsOnlyItsUsableEntries) {
    const std::string product = workspace.drive('c') + "/PRODUCT";
    testing::writeFile(product + "/MIXED.LST",
                       "HEADER LINE\r\nGOOD1;1;N;1\r\n../../x;1;N;1\r\n/etc/passwd;1;N;1\r\n"
                       "C:\\WINDOWS\\x;1;N;1\r\nBAD\x1B[2J;1;N;1\r\n" +
                           std::string(10 * 1024 * 1024, 'H') + ";1;N;1\r\nGOOD2;1;N;1\r\n");
    testing::writeFile(product + "/BINARY.LST",
                       std::string("HEADER LINE\r\nB1;1;N;1\r\n\0\x01\x02\xFF;1;N;1\r\n", 33));
    start();
    scan("%01MIXED");
    EXPECT_EQ(linesAdded(), (std::vector<std::string>{"GOOD1;1;N;1;;;;;;;;;;;;;;;;",
                                                      "GOOD2;1;N;1;;;;;;;;;;;;;;;;"}));
    EXPECT_NE(workspace.log().find(": 2 entries added, 5 skipped"), std::string::npos);
    pty.send("%01BINARY");
    ASSERT_TRUE(waitForText(workspace.logPath(), "BINARY.LST is not a text file"));
    EXPECT_EQ(linesAdded().size(), 2u);
}

TEST_F(Road, SigtermDuringALongListEndsTheProgramQuickly) {
    std::string list = "HEADER LINE\r\n";
    for (int i = 0; i < 100000; ++i)
        list += "L" + std::to_string(i) + ";1;N;1;100;200;18\r\n";
    testing::writeFile(workspace.drive('c') + "/PRODUCT/HUGE.LST", list);
    start();
    pty.send("%01HUGE");
    ASSERT_TRUE(waitForText(workspace.journalPath(), "AddLine\tL1000;", 60s));
    run->signal(SIGTERM);
    ASSERT_TRUE(run->waitForExit(20s)) << workspace.log();
    const std::string log = workspace.log();
    // The rest of the list (some 99,000 entries) would take over a second.
    const auto took = millisecondsBetween(log, "\tinfo\tsignal 15: shutting down",
                                          "\tinfo\tshutdown: scanner port closed");
    ASSERT_TRUE(took) << log;
    EXPECT_LT(*took, 500) << log;
    EXPECT_NE(log.find("stopped because the program is ending after "), std::string::npos) << log;
    EXPECT_NE(log.find(" of 100000 entries"), std::string::npos);
    EXPECT_NE(log.find("\tinfo\tshutdown: scanner port closed, host objects released\n"),
              std::string::npos);
    EXPECT_LT(linesAdded().size(), 100000u);
}

} // namespace
} // namespace lumetra::e2e
