#include "common/text.h"
#include "support/label_rig.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

const std::string kBody = "G71 X1 Y2 Z3\r\n(BARCODE)\r\nG0 X0\r\n";
const std::string kAddProg = "Pelitrax.Application#1\tSetDeviceStatus\tKESTRAVIL.MAIN.AddProg\t1";

TEST(ProgramImport, SavesTheBodyAndAddsTheLine) {
    LabelRig rig;
    rig.importProgram("NAME^X800^Y600^Z18!" + kBody);
    EXPECT_EQ(readFile(rig.program("NAME")), kBody) << "only spaces are trimmed from the body";
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0].substr(0, 23), "NAME;1;;1;800;600;18;;;") << "the file was not read";
    EXPECT_EQ(rig.panel.statuses,
              (std::vector<std::string>{"Wait saving g-code.", "Adding to Barcode data to List.",
                                        "Ready."}));
    EXPECT_EQ(rig.port.written, "") << "program barcodes are not acknowledged";
    EXPECT_EQ(rig.state.data.programName, " ") << "reset at the end";
    EXPECT_EQ(rig.state.lastProgramName, "NAME");
}

TEST(ProgramImport, AMissingDimensionComesFromTheSavedFile) {
    LabelRig rig;
    rig.importProgram("NAME^X800^Y600!" + kBody);
    EXPECT_EQ(rig.lines()[0].substr(0, 28), "NAME;1;;1;800;600;3;BARCODE;");
    rig.importProgram("ORX1^X800!ORX\r\n;;COMMENT\r\nDIM UN=1 Y=2.25\r\n");
    EXPECT_EQ(rig.lines()[1].substr(0, 29), "ORX1;1; ;1;800;2.25;0;COMMENT")
        << "after the first reset the field is a space, which selects nothing";
}

TEST(ProgramImport, AnEarlierCommentDoesNotFollowTheNextProgram) {
    LabelRig rig;
    rig.importProgram("FIRST^X800^Y600!" + kBody);
    EXPECT_NE(rig.lines()[0].find(";BARCODE;"), std::string::npos);
    rig.importProgram("SECOND^X1^Y2^Z3!0123456789AB");
    EXPECT_EQ(rig.lines()[1].substr(0, 20), "SECOND;1; ;1;1;2;3;;") << rig.lines()[1];
}

TEST(ProgramImport, HeaderRecordsByLetter) {
    struct Case {
        std::string header;
        std::string expectedStart;
    };
    const Case cases[] = {
        {"P^X  800 ^Y6 0", "P;1;;1;800;6 0;"},
        {"P^x800^H9^Y5", "P;1;;1;0;5;"},
        {"P^X1^X2", "P;1;;1;2;"},
        {"P^^X7^", "P;1;;1;7;"},
        {"P^V13^A1^B2^C3^D4^E5^F6^G7^I8", "P;1;;1;0;0;0;;;13;;1;2;3;4;5;6;7;8;"},
        {"P^2^3^4^5^6^7^8^9^10^11^12^13^14^X9", "P;1;;1;0;"},
    };
    for (const Case& c : cases) {
        LabelRig rig;
        rig.importProgram(c.header + "!short");
        ASSERT_EQ(rig.lines().size(), 1u) << c.header;
        EXPECT_EQ(rig.lines()[0].substr(0, c.expectedStart.size()), c.expectedStart) << c.header;
    }
}

TEST(ProgramImport, IndicatorsFollowTheRecords) {
    LabelRig rig;
    rig.panel.options[Option::ShowEd] = 0;
    struct Spy : FakePanel {};
    rig.importProgram("P^X1^E2!short");
    EXPECT_FALSE(rig.panel.indicators[2]) << "all are hidden at the end";
}

TEST(ProgramImport, AURecordOnlyWhileTheFieldIsBlank) {
    const std::tuple<bool, bool, std::string> cases[] = {
        {false, false, "S"}, // first scan after start-up: fieldCode empty
        {false, true, "S"},  // console absent reset: " "
        {true, true, "N"},   // console present reset: "N"
    };
    for (const auto& [console, reset, field] : cases) {
        LabelRig rig(console);
        if (reset)
            resetLabelData(rig.state, rig.config.host);
        rig.importProgram("P^US!short");
        const std::string line = rig.lines().at(0);
        if (console)
            EXPECT_NE(line.find("#171=1;"), std::string::npos) << line; // N is position 1
        else
            EXPECT_EQ(line.substr(0, 6), "P;1;" + field + ";") << line;
    }
    LabelRig rig;
    rig.scan("%A1/%");
    rig.importProgram("P^US!short");
    EXPECT_EQ(rig.lines().at(0).substr(0, 8), "P;1;A1/;") << "a field-code barcode blocks U";
}

TEST(ProgramImport, OverwriteDecidesAboutExistingFiles) {
    struct Case {
        int overwrite;
        std::optional<std::string> existing;
        std::string after;
    };
    const Case cases[] = {
        {0, std::string("OLD PROGRAM"), "OLD PROGRAM"},
        {0, std::string(""), "NEW PROGRAM"},
        {0, std::nullopt, "NEW PROGRAM"},
        {1, std::string("OLD PROGRAM"), "NEW PROGRAM"},
    };
    for (const Case& c : cases) {
        LabelRig rig;
        rig.panel.options[Option::Overwrite] = c.overwrite;
        if (c.existing)
            writeFile(rig.program("P"), *c.existing);
        rig.importProgram("P!  NEW PROGRAM  ");
        EXPECT_EQ(readFile(rig.program("P")), c.after);
        EXPECT_EQ(rig.lines().size(), 1u);
    }
}

TEST(ProgramImport, OnlyBodiesLongerThanTenCharactersAreSaved) {
    LabelRig rig;
    rig.importProgram("TEN! 0123456789 ");
    EXPECT_FALSE(std::filesystem::exists(rig.program("TEN")));
    rig.importProgram("ELEVEN!0123456789A");
    EXPECT_EQ(readFile(rig.program("ELEVEN")), "0123456789A");
    rig.importProgram("BANG!a!b!c!d!e!f!");
    EXPECT_EQ(readFile(rig.program("BANG")), "a!b!c!d!e!f!") << "later ! belong to the body";
    EXPECT_EQ(rig.lines().size(), 3u);
}

TEST(ProgramImport, ThePrefixIsDropped) {
    LabelRig rig;
    rig.importProgram("\xD1"
                      "1234567PRE^X5!0123456789AB");
    EXPECT_TRUE(std::filesystem::exists(rig.program("PRE")));
    EXPECT_EQ(rig.lines().at(0).substr(0, 11), "PRE;1;;1;5;");
}

TEST(ProgramImport, AListLoadBarcodeLoadsTheList) {
    LabelRig rig;
    writeFile(rig.program("LISTA.LST"), "HEADER LINE\r\nL1;1;N;1\r\n");
    rig.state.data.varA = "kept";
    rig.importProgram("*%00LISTA^%");
    EXPECT_EQ(rig.lines(), std::vector<std::string>{"L1;1;N;1;;;;;;;;;;;;;;;;"});
    const auto journal = rig.journal();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), kAddProg), 1) << "only the list's own";
    EXPECT_EQ(
        std::count(rig.panel.statuses.begin(), rig.panel.statuses.end(), "Wait saving g-code."), 0);
    EXPECT_EQ(journal[2], "Velmora.ExeList#1\tClear") << "the list reset";
    EXPECT_EQ(journal[3], "Velmora.ExeList#1\tClear") << "the list-load clear";
}

TEST(ProgramImport, AScanWithoutBodyAddsALineFromTheLabelData) {
    LabelRig rig;
    resetLabelData(rig.state, rig.config.host);
    rig.state.data.programName = "P9"; // as a list load that failed at P9 leaves it
    rig.state.data.fieldCode = "N";
    rig.importProgram("just^a^caret");
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0].substr(0, 11), "P9;1;N;1; ;") << "nothing completed or read";
    EXPECT_FALSE(std::filesystem::exists(rig.program("just")));
}

TEST(ProgramImport, AMirrorPairAddsTwoLines) {
    LabelRig rig;
    rig.panel.options[Option::AutoStart] = 1;
    rig.settings.source = AutoSelSource::ProgramName;
    rig.settings.mirrorMode = MirrorMode::NormAndMirror;
    rig.display.text = "*";
    rig.importProgram("PAIR^UN^X5^Y5^Z5!0123456789AB");
    EXPECT_EQ(rig.lines().size(), 2u);
    const auto journal = rig.journal();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), kAddProg), 2);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "Velmora.ExeList#1\tStart"), 2);
}

TEST(ProgramImport, NamesThatLeaveTheFolderAreRefused) {
    for (const std::string name : {"..\\OUT", "/tmp/OUT", "C:\\OUT", "", "a\tb"}) {
        LabelRig rig;
        rig.importProgram(name + "^X1!0123456789ABCDEF");
        EXPECT_EQ(rig.panel.status(), "Barcode Formating Error.  " + name + "^X1!0123456789ABCDEF");
        EXPECT_TRUE(rig.lines().empty()) << name;
        EXPECT_FALSE(std::filesystem::exists(rig.dir.file("OUT")));
    }
}

TEST(ProgramImport, AProgramThatCannotBeSavedAddsNoLine) {
    LabelRig rig;
    std::filesystem::create_directories(rig.program("DIR"));
    rig.panel.indicators[2] = true;
    rig.importProgram("DIR^X1^Y1^Z1!0123456789ABCDEF");
    EXPECT_EQ(rig.panel.status().rfind("Program file not saved: C:\\PRODUCT\\DIR (", 0), 0u)
        << "the status line keeps the failure: " << rig.panel.status();
    EXPECT_TRUE(rig.lines().empty());
    const auto journal = rig.journal();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), kAddProg), 0);
    EXPECT_FALSE(rig.panel.indicators[2]);
    EXPECT_EQ(rig.state.data.programName, " ") << "the barcode's values are gone";
    EXPECT_NE(readFile(rig.log.path()).find("the line of program DIR was not added"),
              std::string::npos);
    rig.panel.options[Option::Overwrite] = 0;
    rig.importProgram("DIR^X1^Y1^Z1!0123456789ABCDEF");
    EXPECT_TRUE(rig.lines().empty()) << "a folder in the file's place is no program to keep";
    const auto leftovers =
        std::distance(std::filesystem::directory_iterator(rig.dir.file("PRODUCT")),
                      std::filesystem::directory_iterator());
    EXPECT_EQ(leftovers, 1) << "no temporary file is left behind";
}

TEST(ProgramImport, HugeHeadersAndBodies) {
    LabelRig rig;
    std::string header = "BIG";
    for (int i = 0; i < 500; ++i)
        header += "^X" + std::to_string(i);
    std::string body(2'000'000, 'B');
    for (std::size_t i = 0; i < body.size(); i += 97)
        body[i] = static_cast<char>(i % 256);
    rig.importProgram(header + "!" + body);
    EXPECT_EQ(rig.lines().at(0).substr(0, 11), "BIG;1;;1;12") << "X of field 14 wins";
    EXPECT_EQ(std::filesystem::file_size(rig.program("BIG")), trim(body).size());
}

TEST(PayloadExpansion, UndoublesBackslashes) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"\\\\\\\\", "\\\\"}, {"\\\\\\", "\\\\"}, {"\\", "\\"}, {"a\\\\b\\c", "a\\b\\c"}, {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(undoubleBackslashes(in), out) << in;
}

std::string scanWithHead(const std::string& text, const std::string& lengthField,
                         const std::string& filler = "01", const std::string& tail = "000") {
    return "\xF1" + filler + lengthField + tail + compressedPayload(text);
}

TEST(PayloadExpansion, ExpandsByBothRoutes) {
    LabelRig rig;
    for (std::size_t size : {1u, 100u, 23072u, 23073u, 32767u}) {
        std::string text;
        for (std::size_t i = 0; i < size; ++i)
            text += static_cast<char>("%\\^!ab\xF1\x00"[i % 8]);
        std::filesystem::remove_all(rig.dir.file("Velmora"));
        EXPECT_EQ(rig.expander.expandPayload(lumetra::compressedScan(text)), text) << size;
        EXPECT_EQ(std::filesystem::exists(rig.dir.file("Velmora/Bin/Temp.Cmp")), size > 23072)
            << size;
    }
}

TEST(PayloadExpansion, ALongRunOfLongPayloadsNeverRunsOutOfHandles) {
    // Two handles a payload: a 16-bit counter that is never reset ran out at 16,383.
    TempDir dir;
    testing::writeFile(dir.file("in"), "");
    DeflateLibrary library;
    for (int i = 0; i < 40000; ++i) {
        const std::int16_t handle = library.openFile(dir.file("in"), 1);
        ASSERT_GT(handle, 0) << "open " << i;
        library.closeFile(handle);
    }
    std::vector<std::int16_t> open;
    for (int i = 0; i < 3; ++i)
        open.push_back(library.openFile(dir.file("in"), 1));
    EXPECT_EQ(open, (std::vector<std::int16_t>{1, 2, 3})) << "the lowest free handles";
    library.cleanup();
    EXPECT_EQ(library.openFile(dir.file("in"), 1), 1) << "the clean-up frees them all";
    LabelRig rig;
    const std::string text(23100, 'x');
    EXPECT_EQ(rig.expander.expandPayload(lumetra::compressedScan(text)), text);
}

TEST(PayloadExpansion, OtherCharactersOfTheHeadDoNotMatter) {
    LabelRig rig;
    const std::string text = "%11P100 N 13 %";
    EXPECT_EQ(rig.expander.expandPayload(scanWithHead(text, "   14", "zz", "???")), text);
    EXPECT_EQ(rig.expander.expandPayload(scanWithHead(text, "00014", "\x01\x02", "\\\\\\")), text);
}

TEST(PayloadExpansion, BadPayloadsAreDropped) {
    LabelRig rig;
    const std::string text(30000, 'x');
    const std::string good = scanWithHead("hello world", "00011");
    const std::vector<std::string> bad = {
        "\xF1",
        "\xF1"
        "0100011000",
        scanWithHead("hello world", "abcde"),
        scanWithHead("hello world", "00000"),
        scanWithHead("hello world", "99999"),
        scanWithHead("hello world", "-0011"),
        scanWithHead("hello world", "00012"),
        scanWithHead("hello world", "00010"),
        good.substr(0, good.size() - 3),
        good.substr(0, 11) + std::string(40, '\x55'),
        scanWithHead(text, "29999"),
        scanWithHead(text, "30001"),
        "\xF1"
        "0130000000" +
            std::string(40000, 'z'),
    };
    for (const std::string& scan : bad)
        EXPECT_EQ(rig.expander.expandPayload(scan), "") << scan.size();
    writeFile(rig.dir.file("Velmora/Bin/Temp.Dat"), std::string(30000, 'S'));
    EXPECT_EQ(rig.expander.expandPayload(scanWithHead(text, "30001")), "")
        << "a stale expanded file is never taken for a result";
}

} // namespace
} // namespace lumetra
