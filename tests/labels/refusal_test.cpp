// A refused scan changes nothing: the label in progress, the chosen field, the selector,
// the work list and the files stay as they were.
#include "support/label_rig.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

// Everything a scan could change, as one comparable text.
std::string snapshot(const LabelRig& rig) {
    std::string text;
    for (auto field : kColumnOrder)
        text += rig.state.data.*field + "|";
    text += rig.state.fieldSelected ? "selected|" : "free|";
    text += rig.state.receivedTypes + "|" + (rig.state.listResetPending ? "pending|" : "done|");
    text += rig.selectorState.rightHalfFirst ? "R" : "L";
    text += rig.selectorState.nextMirror ? "M" : "N";
    text += rig.selectorState.applyNextMirror ? "A" : "-";
    text += "|" + std::to_string(rig.journal().size());
    for (bool indicator : rig.panel.indicators)
        text += indicator ? "1" : "0";
    return text;
}

struct Setting {
    const char* name;
    bool defaultField;
    bool labelInProgress;
    bool fieldChosen;
};

TEST(Refusal, ARefusedTextChangesNoStateAtAll) {
    const Setting settings[] = {
        {"fresh", false, false, false},
        {"default field", true, false, false},
        {"label in progress", true, true, false},
        {"field chosen", false, true, true},
    };
    const std::string refused[] = {
        "%11P;1 A 5 %",      // the line separator in a name
        "%23600;1 400 18 %", // ... in a value
        "P;2",               // ... in a plain label
        "%a1%",              // a record type that is not a digit
        "%start%",
        "%n%",
        "%X1NAME %",
        "%11 N 13 %", // a program record without a name
        "%11   %",
        "%01../LISTA",
        "%01C:\\\\LISTS\\\\A",
        "%11../P N %",
        "%11P\x01 N %",
        "%11..  %",
        "PLAIN\x7F",
        "   ",
        "%21600 400 18 %", // completes a label that has no program name
        "%%",
        "$",
        "%11P.lumetra-tmp-1 N %",
    };
    for (const Setting& setting : settings) {
        for (const std::string& text : refused) {
            LabelRig rig;
            if (setting.defaultField)
                rig.settings.slot(Slot::DFN).code = "S";
            if (setting.fieldChosen)
                rig.scan("%A%");
            if (setting.labelInProgress) {
                ASSERT_FALSE(rig.scan("%33 1 2 3 4 %"));
            }
            // A plain label nobody takes gets "Run Field Not Selected" instead, and a record
            // completes a label only when none is in progress.
            const bool plain = text.find_first_of("%$") == std::string::npos;
            if ((plain && !setting.defaultField && !setting.fieldChosen) ||
                (text == "%21600 400 18 %" && setting.labelInProgress))
                continue;
            const std::string before = snapshot(rig);
            EXPECT_FALSE(rig.scan(text)) << setting.name << ": " << text;
            EXPECT_EQ(snapshot(rig), before) << setting.name << ": " << text;
            EXPECT_EQ(rig.panel.status(), "Barcode Formating Error.  " + text)
                << setting.name << ": " << text;
        }
    }
}

TEST(Refusal, TheLabelGoesOnAfterARefusedScan) {
    LabelRig rig;
    rig.settings.slot(Slot::DFN).code = "S";
    EXPECT_FALSE(rig.scan("%12P1 A %"));
    EXPECT_FALSE(rig.scan("P\x01"));
    EXPECT_FALSE(rig.scan("%a2%"));
    EXPECT_TRUE(rig.scan("%22600 400 18 %"));
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0].substr(0, 20), "P1;1;A;1;600;400;18;");
}

TEST(Refusal, AFieldChosenBeforeAResetEndsWithIt) {
    for (const std::string reset : {"%CLEAR%", "%01L"}) {
        LabelRig rig;
        writeFile(rig.program("L.LST"), "HEADER LINE\r\nLP;1;N;1\r\n");
        rig.scan("%S%");
        rig.scan("%12P600 M %");
        rig.scan(reset);
        EXPECT_FALSE(rig.state.fieldSelected) << reset;
        EXPECT_TRUE(rig.scan("%11P601 A %"));
        EXPECT_EQ(rig.lines().back().substr(0, 9), "P601;1;A;") << reset;
    }
}

TEST(Refusal, APlainLabelStartsFromResetValues) {
    LabelRig rig;
    rig.settings.slot(Slot::DFN).code = "S";
    writeFile(rig.program("PLAIN"), "ORX\r\n  comment\r\nDIM UN=800 X=900 Y=18\r\n");
    EXPECT_FALSE(rig.scan("%23600 400 5 %"));
    EXPECT_FALSE(rig.scan("%33 1 2 3 4 %"));
    EXPECT_TRUE(rig.scan("PLAIN"));
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0], "PLAIN;1;S;1;800;900;18; ; ; ; ; ; ; ; ; ; ; ; ;")
        << "dimensions from its program file, variables from the reset";
    EXPECT_TRUE(rig.state.receivedTypes.empty());
}

TEST(Refusal, AProgramBarcodeEndsAnUnfinishedLabel) {
    LabelRig rig;
    rig.settings.slot(Slot::DFN).code = "S";
    EXPECT_FALSE(rig.scan("%13P1 A %"));
    EXPECT_FALSE(rig.scan("%23600 400 18 %"));
    rig.importProgram("PROG^X10^Y20^Z3!0123456789ABCDEF");
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0].substr(0, 15), "PROG;1; ;1;10;2");
    EXPECT_TRUE(rig.state.receivedTypes.empty());
    EXPECT_FALSE(rig.scan("%33 1 2 3 4 %")) << "no label to complete with a blank name";
    EXPECT_EQ(rig.lines().size(), 1u);
}

TEST(Refusal, ProgramBarcodesAndListBarcodesAreCheckedFirst) {
    const std::pair<std::string, std::string> cases[] = {
        {"*%00../LISTA^%%", "list leaving its folder"},
        {"P;1^X1!0123456789ABCDEF", "the separator in the name"},
        {"P1^X1;2!0123456789ABCDEF", "the separator in a record"},
        {"   ^X1!0123456789ABCDEF", "a name of spaces"},
        {" . ^X1!0123456789ABCDEF", "a name of spaces and dots"},
    };
    for (const auto& [scan, why] : cases) {
        LabelRig rig;
        EXPECT_FALSE(rig.scan("%12P1 A %"));
        const std::string before = snapshot(rig);
        rig.importProgram(scan);
        EXPECT_EQ(snapshot(rig), before) << why;
        EXPECT_EQ(rig.panel.status(), "Barcode Formating Error.  " + scan) << why;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(rig.dir.file("PRODUCT")),
                                std::filesystem::directory_iterator()),
                  0)
            << why;
    }
}

TEST(Refusal, ANameEndingInSpacesOrDotsNamesOneFile) {
    LabelRig rig;
    rig.importProgram("P2 . ^X5!ORX\r\n  the comment\r\nDIM UN=1 X=2 Y=7\r\n");
    EXPECT_TRUE(std::filesystem::exists(rig.program("P2")));
    ASSERT_EQ(rig.lines().size(), 1u);
    EXPECT_EQ(rig.lines()[0].substr(0, 29), "P2 . ;1;;1;5;2;7;the comment;");
    rig.scan("%CLEAR%");
    rig.settings.slot(Slot::DFN).code = "N";
    EXPECT_TRUE(rig.scan("P2 "));
    EXPECT_EQ(rig.lines().back().substr(0, 15), "P2;1;N;1;1;2;7;") << "read from the file P2";
}

TEST(Refusal, TheLogShowsEachTextConvertedOnce) {
    LabelRig rig;
    rig.importProgram("P\xC4;1^X1!0123456789ABCDEF");
    rig.importProgram("..\\\xC9^X1!0123456789ABCDEF");
    const std::string log = readFile(rig.log.path());
    EXPECT_NE(log.find("\tstatus\tBarcode Formating Error.  P\xC3\x84;1^X1!"), std::string::npos)
        << log;
    EXPECT_NE(log.find("the program name \"..\\\\\xC3\x89\""), std::string::npos) << log;
    EXPECT_EQ(log.find("\xC3\x82"), std::string::npos) << "no character converted twice";
}

TEST(Refusal, AProgramBarcodeWithoutBodyNeedsAName) {
    LabelRig rig;
    rig.importProgram("^X1^");
    EXPECT_EQ(rig.panel.status(), "Barcode Formating Error.  ^X1^");
    EXPECT_TRUE(rig.lines().empty());
    EXPECT_FALSE(rig.scan("%12P1 A %"));
    rig.importProgram("^X1^");
    EXPECT_TRUE(rig.lines().empty()) << "a half label is never a line";
    EXPECT_EQ(rig.panel.status(), "Barcode Formating Error.  ^X1^");
}

// A scan that resets the label record ends the label in progress: no line of half a
// label, and the label after it is taken.
TEST(Refusal, ScansThatResetTheLabelEndTheLabelInProgress) {
    const std::string enders[] = {"*%00LISTA^x", "x^y",
                                  "\xD1"
                                  "1234567*%00LISTA^x"};
    for (const std::string& ender : enders) {
        LabelRig rig;
        writeFile(rig.program("LISTA.LST"), "HEADER LINE\r\nL1;1;N;1\r\n");
        EXPECT_FALSE(rig.scan("%13P1 A 13 %"));
        EXPECT_FALSE(rig.scan("%23600 400 18 %"));
        rig.importProgram(ender);
        EXPECT_TRUE(rig.state.receivedTypes.empty()) << ender;
        EXPECT_FALSE(rig.panel.indicators[1]) << ender;
        for (const std::string& line : rig.lines())
            EXPECT_NE(line.substr(0, 3), "P1;") << ender << ": a line of the half label";
        const auto before = rig.lines().size();
        EXPECT_TRUE(rig.scan("%11P2 N %")) << ender;
        ASSERT_EQ(rig.lines().size(), before + 1) << ender;
        EXPECT_EQ(rig.lines().back().substr(0, 9), "P2;1;N;1;") << ender;
        EXPECT_NE(readFile(rig.log.path()).find("unfinished label discarded by a program barcode"),
                  std::string::npos)
            << ender;
    }
}

TEST(Refusal, EmptyListNamesChangeNothing) {
    const std::string records[] = {"%0$", "%01", "%01  "};
    for (const std::string& record : records) {
        LabelRig rig;
        const std::string before = snapshot(rig);
        EXPECT_FALSE(rig.scan(record)) << record;
        EXPECT_EQ(snapshot(rig), before) << record;
        EXPECT_EQ(rig.panel.status(), "Barcode Formating Error.  " + record);
        EXPECT_TRUE(rig.dialogs.shown.empty()) << record;
    }
    for (const std::string barcode : {"*%00^x", "*%00  ^x", "*%00CON^x"}) {
        LabelRig rig;
        const std::string before = snapshot(rig);
        rig.importProgram(barcode);
        EXPECT_EQ(snapshot(rig), before) << barcode;
        EXPECT_EQ(rig.panel.status(), "Barcode Formating Error.  " + barcode);
        EXPECT_TRUE(rig.dialogs.shown.empty()) << barcode;
    }
}

} // namespace
} // namespace lumetra
