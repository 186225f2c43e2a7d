#include "support/label_rig.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace lumetra {
namespace {

using namespace lumetra::testing;

std::size_t count(const std::vector<std::string>& journal, const std::string& entry) {
    return static_cast<std::size_t>(std::count(journal.begin(), journal.end(), entry));
}

const std::string kAddProg = "Pelitrax.Application#1\tSetDeviceStatus\tKESTRAVIL.MAIN.AddProg\t1";

TEST(LabelProcessing, AThreeRecordLabelCompletesInAnyOrder) {
    const std::vector<std::string> records = {"%13P100 N 13 %", "%23600 400 18 %", "%331 2 3 4 %"};
    std::vector<int> order = {0, 1, 2};
    do {
        LabelRig rig;
        std::vector<bool> results;
        for (int i : order) {
            results.push_back(rig.scan(records[static_cast<std::size_t>(i)]));
            if (results.size() < 3) {
                EXPECT_EQ(rig.panel.status(), " Waiting for next barcode...");
            }
        }
        EXPECT_EQ(results, (std::vector<bool>{false, false, true}));
        ASSERT_EQ(rig.lines().size(), 1u);
        EXPECT_EQ(rig.lines()[0], "P100;1;N;1;600;400;18;;;13;;1;2;3;4;;;;;");
        EXPECT_EQ(rig.panel.status(), "Ready.");
        EXPECT_EQ(rig.port.written, "ACK\r");
        EXPECT_EQ(rig.state.receivedTypes, "");
        EXPECT_EQ(rig.state.data.programName, " ") << "reset after the line";
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(LabelProcessing, ARecordTakenTwiceIsAFormattingError) {
    LabelRig rig;
    EXPECT_FALSE(rig.scan("%12P100 N 13 %"));
    EXPECT_FALSE(rig.scan("%12P100 N 13 %"));
    EXPECT_EQ(rig.panel.status(), "Barcode Formating Error.  %12P100 N 13 %");
    EXPECT_TRUE(rig.scan("%22600 400 18 %"));
    EXPECT_EQ(rig.lines().size(), 1u);
}

TEST(LabelProcessing, ARecordNotTakenWhoseCountMatchesCompletesTheLabel) {
    LabelRig rig;
    EXPECT_FALSE(rig.scan("%12P100 N 13 %"));
    EXPECT_TRUE(rig.scan("%11P200 N 13 %")) << "type 1 again, count 1 = one type taken";
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0].substr(0, 5), "P100;");
}

TEST(LabelProcessing, AFieldCodeBarcodeWinsOverTheRecordsField) {
    LabelRig rig;
    EXPECT_TRUE(rig.scan("%A1/%"));
    EXPECT_EQ(rig.panel.statuses.size(), 0u) << "no status for a field-code barcode";
    EXPECT_TRUE(rig.scan("%11P100 N 13 %"));
    EXPECT_TRUE(rig.scan("%11P200 S 13 %"));
    ASSERT_EQ(rig.lines().size(), 2u);
    EXPECT_EQ(rig.lines()[0].substr(0, 14), "P100;1;A1/;1;0");
    EXPECT_EQ(rig.lines()[1].substr(0, 11), "P200;1;S;1;");
}

TEST(LabelProcessing, APlainLabelWithATextSourceIsALabelOfItsOwn) {
    LabelRig rig;
    rig.settings.source = AutoSelSource::ProgramName;
    rig.config.host.cncSuffixMode = true;
    EXPECT_FALSE(rig.scan("%13P100 N 13 %"));
    EXPECT_TRUE(rig.scan("  P200  "));
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0].substr(0, 9), "P200.CNC;");
    EXPECT_EQ(rig.state.receivedTypes, "");
    EXPECT_TRUE(rig.scan("P300.cnc"));
    EXPECT_EQ(rig.lines()[1].substr(0, 9), "P300.cnc;");
}

TEST(LabelProcessing, APlainLabelWithoutAFieldIsRefused) {
    LabelRig rig;
    EXPECT_FALSE(rig.scan("P100"));
    EXPECT_EQ(rig.panel.status(), "Run Field Not Selected");
    EXPECT_TRUE(rig.lines().empty());
    rig.settings.slot(Slot::DFN).code = "a1";
    EXPECT_TRUE(rig.scan("P100"));
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0].substr(0, 10), "P100;1;A1;");
}

TEST(LabelProcessing, ClearDiscardsALabelOrClearsTheList) {
    LabelRig rig;
    rig.scan("%START%");
    const auto before = rig.journal().size();
    EXPECT_FALSE(rig.scan("%12P100 N 13 %"));
    EXPECT_TRUE(rig.panel.indicators[1]);
    EXPECT_TRUE(rig.scan("%CLEAR%"));
    EXPECT_EQ(rig.journal().size(), before) << "a label in progress is only discarded";
    EXPECT_FALSE(rig.panel.indicators[1]);
    EXPECT_EQ(rig.state.receivedTypes, "");
    EXPECT_TRUE(rig.scan("%CLEAR%"));
    EXPECT_EQ(rig.journal().back(), "Velmora.ExeList#1\tClear");
}

TEST(LabelProcessing, CommandsCallTheListAndEndReady) {
    const std::pair<std::string, std::string> cases[] = {
        {"%START%", "Velmora.ExeList#1\tStart"},
        {"%STOP%", "Velmora.ExeList#1\tStop"},
        {"%END%", "Velmora.ExeList#1\tEnd"},
        {"%SETP%", "Pelitrax.Application#1\tSetDeviceStatus\tKESTRAVIL.MAIN.CmdSetP\t1"},
        {"%SETPOINT%", "Pelitrax.Application#1\tSetDeviceStatus\tKESTRAVIL.MAIN.CmdSetP\t1"},
    };
    for (const auto& [command, call] : cases) {
        LabelRig rig;
        EXPECT_TRUE(rig.scan(command));
        const auto journal = rig.journal();
        ASSERT_GE(journal.size(), 3u);
        EXPECT_EQ(journal[1], "Velmora.ExeList#1\tVisible=\tTrue")
            << "the first scan shows the list";
        EXPECT_EQ(journal[2], "Velmora.ExeList#1\tClear");
        EXPECT_EQ(journal.back(), call);
        EXPECT_EQ(rig.panel.status(), "Ready.");
        EXPECT_EQ(rig.pump.sleeps, std::vector<int>{600});
    }
}

TEST(LabelProcessing, TheConsoleVariantUsesItsNamesAndTaggedLines) {
    LabelRig rig(true);
    rig.panel.options[Option::AutoStart] = 1;
    rig.config.host.cncSuffixMode = true;
    resetLabelData(rig.state, rig.config.host);
    EXPECT_TRUE(rig.scan("%19P100 A 13 %"));
    const std::vector<std::string> expected = {
        "Pultano.Application#1\tVisible=\tTrue",
        "Pultano.ExeList#1\tVisible=\tTrue",
        "Pultano.ExeList#1\tClearList",
        "Pultano.ExeList#1\tAddLine\t#161=P100.CNC;#164=999;#171=4;#284=1;#280=;#165=1;#168=;"
        "#169=;#170=;#282=;#283=;",
        kAddProg,
        "Pultano.ExeList#1\tStartList",
    };
    EXPECT_EQ(rig.journal(), expected);
}

TEST(LabelProcessing, RepeatedAndNeverCompletingCounts) {
    LabelRig rig;
    EXPECT_TRUE(rig.scan("%19P100 N 13 %"));
    EXPECT_NE(rig.lines()[0].find("P100;999;"), std::string::npos);
    EXPECT_FALSE(rig.scan("%2X600 400 18 %"));
    EXPECT_EQ(rig.state.data.dimX, "600") << "stored, but a count of 0 never completes";
    EXPECT_FALSE(rig.scan("%1XP1 N 1 %"));
    EXPECT_EQ(rig.lines().size(), 1u);
}

TEST(LabelProcessing, TerminatorsStayInTheLastValue) {
    LabelRig rig;
    rig.scan("%12P100 N 13 %");
    rig.scan("%22600 400 18%");
    EXPECT_NE(rig.lines()[0].find(";600;400;18%;"), std::string::npos) << rig.lines()[0];
    rig.scan("%11P100%");
    EXPECT_EQ(rig.lines()[1].substr(0, 6), "P100%;");
    rig.scan("%12P1 N %");
    rig.scan("%22600  400 18 %");
    EXPECT_NE(rig.lines()[2].find(";600;0;400;"), std::string::npos) << rig.lines()[2];
}

TEST(LabelProcessing, MissingDimensionsComeFromTheProgramFile) {
    LabelRig rig;
    writeFile(rig.program("P100"), "G71 X812.5 Y600 Z18\r\n(DOOR)\r\n");
    rig.scan("%12P100 N 13 %");
    EXPECT_EQ(rig.state.data.comment, "DOOR");
    rig.scan("%220 400 %");
    EXPECT_NE(rig.lines()[0].find("P100;1;N;1;812.5;400;18;DOOR;"), std::string::npos)
        << rig.lines()[0];
    EXPECT_EQ(rig.state.lastProgramComment, "DOOR");
}

TEST(LabelProcessing, NonZeroDimensionsDoNotReadTheFileAtCompletion) {
    LabelRig rig;
    writeFile(rig.program("P100%"), "G71 X1 Y2 Z3\r\n(READ)\r\n");
    rig.scan("%12P100%");
    rig.scan("%22600 400 18 %");
    EXPECT_EQ(rig.state.lastProgramComment, "") << "the file was not read";
}

TEST(LabelProcessing, AClearEmptiesTheListBeforeEachLabel) {
    LabelRig rig;
    rig.panel.options[Option::AClear] = 1;
    rig.scan("%11P1 N %");
    rig.scan("%11P2 N %");
    EXPECT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0].substr(0, 3), "P2;");
}

TEST(LabelProcessing, AMirrorPairAddsTwoLinesOnAlternateHalves) {
    LabelRig rig;
    rig.panel.options[Option::AutoStart] = 1;
    rig.settings.source = AutoSelSource::ProgramName;
    rig.settings.mirrorMode = MirrorMode::NormAndMirror;
    rig.display.text = "*";
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        rig.settings.fieldSlots[i] = {std::string(kSlotNames[i]), true};
    }
    rig.settings.halfLimitX = "1500";
    rig.settings.halfLimitY = "600";
    EXPECT_FALSE(rig.scan("%12PAIR N %"));
    EXPECT_TRUE(rig.scan("%221000 500 18 %"));
    ASSERT_EQ(rig.lines().size(), 2u);
    EXPECT_EQ(rig.lines()[0].substr(0, 13), "PAIR;1;FFS;1;");
    EXPECT_EQ(rig.lines()[1].substr(0, 13), "PAIR;1;FFR;1;");
    const auto journal = rig.journal();
    EXPECT_EQ(count(journal, kAddProg), 2u);
    EXPECT_EQ(count(journal, "Velmora.ExeList#1\tStart"), 2u);
    EXPECT_EQ(rig.port.written, "ACK\rACK\r");
    EXPECT_EQ(std::count(rig.panel.statuses.begin(), rig.panel.statuses.end(),
                         "Adding to Barcode data to List."),
              2);
    EXPECT_FALSE(rig.panel.autoField) << "hidden when the label is finished";
}

TEST(LabelProcessing, AListRecordClearsAndLoads) {
    LabelRig rig;
    writeFile(rig.program("LISTA.LST"), "HEADER LINE\r\nP1;2;M;1;1;2;3\r\n");
    rig.scan("%START%");
    EXPECT_TRUE(rig.scan("%01LISTA"));
    EXPECT_EQ(rig.lines(), std::vector<std::string>{"P1;2;M;1;1;2;3;;;;;;;;;;;;;"});
    EXPECT_FALSE(rig.scan("%01NOLIST"));
    EXPECT_EQ(rig.dialogs.shown.back().text, "List File C:\\PRODUCT\\NOLIST.LST Not Found");
    EXPECT_EQ(rig.state.receivedTypes, "");
}

TEST(LabelProcessing, TheExportFileMovesWhenTheProgramRecordArrives) {
    LabelRig rig;
    writeFile(rig.dir.file("CSV/P100.CSV"), "a;b;c\r\n");
    rig.config.host.cncSuffixMode = true;
    rig.scan("%12P100 N 13 %");
    EXPECT_EQ(readFile(rig.dir.file("Lumetra.csv")), "a;b;c\r\n");
    rig.scan("%CLEAR%");
    EXPECT_FALSE(std::filesystem::exists(rig.dir.file("CSV/P100.CSV")));
}

TEST(LabelProcessing, RefusedTextsKeepTheLabelInProgress) {
    LabelRig rig;
    rig.scan("%13P100 N 13 %");
    for (const std::string text :
         {"%%", "%", "$", "x$", "A%BC", "%12..\\OUT N %", "%12C:\\X N %"}) {
        EXPECT_FALSE(rig.scan(text)) << text;
        EXPECT_EQ(rig.panel.status(), "Barcode Formating Error.  " + text);
        EXPECT_EQ(rig.state.receivedTypes, "1") << text;
    }
    EXPECT_FALSE(rig.scan("..\\OUT"));
    rig.settings.source = AutoSelSource::Comment;
    EXPECT_FALSE(rig.scan("..\\OUT"));
    EXPECT_EQ(rig.panel.status(), "Barcode Formating Error.  ..\\OUT");
}

TEST(LabelProcessing, RecordTypesWithoutValuesCountForTheLabel) {
    LabelRig rig;
    EXPECT_FALSE(rig.scan("%12P100 N %"));
    EXPECT_TRUE(rig.scan("%72anything%"));
    EXPECT_EQ(rig.lines().size(), 1u);
}

TEST(LabelProcessing, AnAbsentHostNeverStopsProcessing) {
    LabelRig rig(false, true);
    EXPECT_TRUE(rig.scan("%START%"));
    EXPECT_TRUE(rig.scan("%11P1 N %"));
    EXPECT_EQ(rig.panel.status(), "Ready.");
    EXPECT_NE(std::find(rig.panel.statuses.begin(), rig.panel.statuses.end(),
                        "Host work list unavailable: ActiveX component can't create object"),
              rig.panel.statuses.end());
}

TEST(LabelProcessing, MixedSequencesLeaveAUsableState) {
    LabelRig rig;
    writeFile(rig.program("L.LST"), "HEADER LINE\r\nLP;1;N;1\r\n");
    rig.settings.source = AutoSelSource::ProgramName;
    const std::vector<std::pair<std::string, bool>> steps = {
        {"%13P1 N 1 %", false}, {"%T%", true},        {"%23100 200 3 %", false},
        {"PLAIN", true},        {"%13P2 M %", false}, {"%CLEAR%", true},
        {"%01L", true},         {"%12P3 N %", false}, {"%22 1 2 3 %", true},
        {"%N%", true},          {"%11P4 S %", true},
    };
    for (const auto& [text, result] : steps)
        EXPECT_EQ(rig.scan(text), result) << text;
    // The list record cleared the list (and PLAIN's line) before loading.
    ASSERT_EQ(rig.lines().size(), 3u);
    EXPECT_EQ(rig.lines()[0].substr(0, 3), "LP;");
    EXPECT_EQ(rig.lines()[1].substr(0, 14), "P3;1;N;1;0;1;2");
    EXPECT_EQ(rig.lines()[2].substr(0, 9), "P4;1;N;1;") << "the field-code barcode wins";
}

TEST(LabelProcessing, RandomBytesNeverBreakIt) {
    LabelRig rig;
    std::mt19937 random(4242);
    const std::string alphabet = "%$!^ 0123456789NMSATRPW/&.\\:\xF1\xD1\r\n\t";
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        const auto length = random() % 24;
        for (std::size_t k = 0; k < length; ++k)
            text += (random() % 4 == 0) ? static_cast<char>(random() % 256)
                                        : alphabet[random() % alphabet.size()];
        rig.scan(text);
    }
    rig.scan("%CLEAR%");
    rig.settings.slot(Slot::DFN).code.clear();
    rig.settings.source = AutoSelSource::Barcode;
    rig.state.fieldSelected = false;
    const auto before = rig.lines().size();
    EXPECT_FALSE(rig.scan("%12FINAL N %"));
    EXPECT_TRUE(rig.scan("%22600 400 18 %"));
    EXPECT_EQ(rig.lines().size(), before + 1);
    EXPECT_EQ(rig.lines().back().substr(0, 6), "FINAL;");
}

} // namespace
} // namespace lumetra
