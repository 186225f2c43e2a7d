#include "fields/field_selection_setup.h"
#include "fields/mirror_trigger.h"
#include "platform/portable/portable_profile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

class Settings : public ::testing::Test {
protected:
    Settings()
        : profile(dir.str()), ini(profile, dir.file("ORX.INI")),
          setup(settings, display, labels, ini) {}
    void load(const std::string& keys) {
        writeFile(ini.path(), "[VOZEZIZO]\r\n" + keys);
        settings = {};
        display = {};
        setup.load();
    }
    TempDir dir;
    PortableProfile profile;
    IniFile ini;
    FieldSelectionSettings settings;
    TriggerDisplay display;
    LabelState labels;
    FieldSelectionSetup setup;
};

TEST_F(Settings, NoKeysGiveTheDefaults) {
    load("");
    for (const FieldSlot& slot : settings.fieldSlots) {
        EXPECT_EQ(slot.code, "");
        EXPECT_FALSE(slot.enabled);
    }
    EXPECT_EQ(settings.source, AutoSelSource::Barcode);
    EXPECT_EQ(settings.mirrorMode, MirrorMode::Mirror);
    EXPECT_EQ(settings.halfLimitX, "");
    for (const MirrorTrigger& trigger : settings.triggers) {
        EXPECT_FALSE(trigger.fromLeft);
        EXPECT_EQ(trigger.position, 0);
    }
}

TEST_F(Settings, ReadsFlagsNumbersAndModes) {
    load("FieldFlag_SFS= 1\r\nFieldFlag_SFA=1\r\nFieldFlag_SFT=2\r\nFieldFlag_SFR=1.4\r\n"
         "FieldFlag_FFS=0.5\r\nFieldFlag_FFA=1.5\r\nFieldCode_SFS=s1\r\n"
         "AutoSelSetting=1\r\nPNameMirrorLR=1\r\nPNameNandMLR=-1\r\nCommentMSel=7\r\n");
    EXPECT_TRUE(settings.slot(Slot::SFS).enabled);
    EXPECT_TRUE(settings.slot(Slot::SFA).enabled);
    EXPECT_FALSE(settings.slot(Slot::SFT).enabled);
    EXPECT_TRUE(settings.slot(Slot::SFR).enabled) << "1.4 rounds to 1";
    EXPECT_FALSE(settings.slot(Slot::FFS).enabled) << "0.5 rounds to even 0";
    EXPECT_FALSE(settings.slot(Slot::FFA).enabled) << "1.5 rounds to even 2";
    EXPECT_EQ(settings.slot(Slot::SFS).code, "s1");
    EXPECT_EQ(settings.source, AutoSelSource::ProgramName);
    EXPECT_EQ(settings.mirrorMode, MirrorMode::NormAndMirror) << "PNameMSel missing";
    EXPECT_FALSE(settings.trigger(AutoSelSource::ProgramName, MirrorMode::Mirror).fromLeft);
    EXPECT_TRUE(settings.trigger(AutoSelSource::ProgramName, MirrorMode::NormAndMirror).fromLeft);
    EXPECT_EQ(settings.commentMode, MirrorMode::Mirror);
}

TEST_F(Settings, OddNumbersNeverBreakLoading) {
    const std::pair<std::string, std::int16_t> numbers[] = {
        {"", 0},
        {"abc", 0},
        {"-5", -5},
        {"2.5", 2},
        {"3.5", 4},
        {"99999999", 32767},
        {"-99999999", -32768},
        {"1e9", 1},
        {std::string(300, '9'), 32767},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(settingNumber(text), value) << text;
    load("AutoSelSetting=7\r\nPNameMirrorCPos=99999\r\nHalfLimitX=" + std::string(200, 'x') +
         "\r\n");
    EXPECT_EQ(settings.source, AutoSelSource::Barcode);
    EXPECT_EQ(settings.halfLimitX, std::string(79, 'x')) << "an 80-character buffer";
}

TEST_F(Settings, ShownPositionsAreClampedAndTheCorrectionIsSaved) {
    const std::pair<std::string, int> cases[] = {{"0", 1}, {"-4", 1}, {"5", 5}, {"40", 13}};
    for (const auto& [stored, shown] : cases) {
        load("AutoSelSetting=1\r\nPNameMSel=1\r\nPNameMirrorCPos=" + stored + "\r\n");
        EXPECT_EQ(display.position, shown) << stored;
        setup.ok();
        EXPECT_EQ(ini.readString(kMainSection, "PNameMirrorCPos", ""), std::to_string(shown));
    }
}

TEST_F(Settings, OkWritesEveryKeyInOrder) {
    load("");
    settings.slot(Slot::SFN).code = "n";
    settings.slot(Slot::SFS).code = "s";
    settings.slot(Slot::SFS).enabled = true;
    settings.slot(Slot::FFR).code = "r1/";
    settings.slot(Slot::DFN).code = "a1";
    settings.halfLimitX = " 1500 mm";
    settings.halfLimitY = "600";
    setup.sourceClicked(AutoSelSource::Comment);
    setup.modeClicked(MirrorMode::NormAndMirror);
    setup.triggerTextChanged("m");
    setup.alignmentClicked(false);
    setup.positionMoved(24);
    writeFile(ini.path(), "");
    setup.ok();
    std::string expected = "[VOZEZIZO]\r\n";
    for (std::string_view name : kSlotNames) {
        const std::string slot(name);
        std::string code;
        if (slot == "SFN")
            code = "N";
        if (slot == "SFS")
            code = "S";
        if (slot == "FFR")
            code = "R1/";
        if (slot == "DFN")
            code = "A1";
        const bool always = slot == "SFN" || slot == "SFM" || slot == "DFN";
        expected += "FieldCode_" + slot + "=" + code + "\r\n";
        expected += "FieldFlag_" + slot + "=" + (always || slot == "SFS" ? " 1" : " 0") + "\r\n";
    }
    expected += "HalfLimitX= 1500 mm\r\nHalfLimitY=600\r\nAutoSelSetting=2\r\n"
                "PNameMirrorLR=0\r\nPNameMirrorCPos=0\r\nPNameMirrorText=\r\n"
                "PNameNandMLR=0\r\nPNameNandMCPos=0\r\nPNameNandMText=\r\n"
                "CommentMirrorLR=0\r\nCommentMirrorCPos=1\r\nCommentMirrorText=\r\n"
                "CommentNandMLR=0\r\nCommentNandMCPos=24\r\nCommentNandMText=m\r\n"
                "PNameMSel=0\r\nCommentMSel=0\r\n";
    EXPECT_EQ(readFile(ini.path()), expected);
    EXPECT_EQ(settings.slot(Slot::SFN).code, "n") << "the live code keeps the operator's typing";

    const FieldSelectionSettings saved = settings;
    load(readFile(ini.path()).substr(std::string("[VOZEZIZO]\r\n").size()));
    EXPECT_EQ(settings.slot(Slot::SFS).code, "S");
    EXPECT_TRUE(settings.slot(Slot::SFS).enabled);
    EXPECT_EQ(settings.halfLimitX, "1500 mm") << "a read drops leading blanks";
    EXPECT_EQ(settings.source, AutoSelSource::Comment);
    EXPECT_EQ(settings.mirrorMode, MirrorMode::NormAndMirror);
    const MirrorTrigger& trigger =
        settings.trigger(AutoSelSource::Comment, MirrorMode::NormAndMirror);
    EXPECT_EQ(trigger.text, "m");
    EXPECT_EQ(trigger.position, 24);
    EXPECT_FALSE(trigger.fromLeft);
    EXPECT_EQ(display.rightLabel, "2 From Right");
}

TEST_F(Settings, PlaceTextShowsTheTemplateAndLabels) {
    load("AutoSelSetting=1\r\nPNameMSel=1\r\n");
    setup.alignmentClicked(true);
    EXPECT_EQ(display.maximum, 13);
    EXPECT_EQ(display.position, 1);
    EXPECT_EQ(display.templateText, std::string(12, '?'));
    EXPECT_EQ(display.leftLabel, "1 From Left");
    EXPECT_EQ(display.rightLabel, "13 From Right");

    setup.sourceClicked(AutoSelSource::Comment);
    setup.triggerTextChanged("M");
    setup.positionMoved(25);
    EXPECT_EQ(display.maximum, 25);
    EXPECT_EQ(display.templateText, std::string(24, '?') + "M");
    EXPECT_EQ(display.rightLabel, "1 From Right");

    setup.positionMoved(3);
    setup.triggerTextChanged("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(display.maximum, 1) << "a trigger as long as the source keeps position 1";
    EXPECT_EQ(display.position, 1);
    EXPECT_EQ(display.templateText, "ABCDEFGHIJKLMNOPQRSTUVWXY");

    setup.sourceClicked(AutoSelSource::Barcode);
    EXPECT_FALSE(display.enabled);
}

TEST_F(Settings, SwitchingSourcesKeepsEachTrigger) {
    load("AutoSelSetting=1\r\nPNameMSel=1\r\nCommentMSel=1\r\n");
    setup.triggerTextChanged("PN");
    setup.positionMoved(4);
    setup.sourceClicked(AutoSelSource::Comment);
    EXPECT_EQ(display.text, "");
    setup.triggerTextChanged("CM");
    setup.sourceClicked(AutoSelSource::ProgramName);
    EXPECT_EQ(display.text, "PN");
    EXPECT_EQ(display.position, 4);
    EXPECT_EQ(settings.trigger(AutoSelSource::Comment, MirrorMode::Mirror).text, "CM");
}

TEST_F(Settings, SwitchingSourceOrModeNeverMovesATrigger) {
    load("AutoSelSetting=1\r\nPNameMSel=0\r\nPNameNandMText=M\r\nPNameNandMCPos=12\r\n"
         "CommentMSel=0\r\nCommentNandMText=" +
         std::string(20, 'C') + "\r\nCommentNandMCPos=2\r\n");
    EXPECT_EQ(display.position, 12);
    for (int round = 0; round < 3; ++round) {
        setup.sourceClicked(AutoSelSource::Comment);
        EXPECT_EQ(display.position, 2);
        setup.modeClicked(MirrorMode::Mirror);
        setup.modeClicked(MirrorMode::NormAndMirror);
        setup.sourceClicked(AutoSelSource::Barcode);
        setup.sourceClicked(AutoSelSource::ProgramName);
        EXPECT_EQ(display.text, "M");
        EXPECT_EQ(display.position, 12) << "round " << round;
        EXPECT_EQ(display.leftLabel, "12 From Left");
    }
    setup.ok();
    EXPECT_EQ(ini.readString(kMainSection, "PNameNandMCPos", ""), "12");
    EXPECT_EQ(ini.readString(kMainSection, "CommentNandMCPos", ""), "2");
}

TEST_F(Settings, TheLastPositionShowsItsOwnLabels) {
    load("AutoSelSetting=1\r\nPNameMSel=1\r\n");
    setup.positionMoved(2);
    setup.positionMoved(13);
    EXPECT_EQ(display.position, 13);
    EXPECT_EQ(display.leftLabel, "13 From Left");
    EXPECT_EQ(display.rightLabel, "1 From Right");
    EXPECT_EQ(display.templateText, std::string(12, '?'));
}

TEST_F(Settings, TriggersKeepTheirBlanksAndQuotesOverARestart) {
    for (const std::string text : {" M", "M ", "  ", "\"M\"", "'x'", "M", "A B", "\"", ""}) {
        load("AutoSelSetting=1\r\nPNameMSel=1\r\n");
        setup.triggerTextChanged(text);
        setup.ok();
        const std::string stored = readFile(ini.path());
        load(stored.substr(std::string("[VOZEZIZO]\r\n").size()));
        EXPECT_EQ(settings.trigger(AutoSelSource::ProgramName, MirrorMode::Mirror).text, text)
            << "«" << text << "»";
    }
    load("AutoSelSetting=1\r\nPNameMSel=1\r\nPNameMirrorText= M \r\n");
    EXPECT_EQ(display.text, "M") << "a file the original program wrote reads as it always did";
}

TEST_F(Settings, DoubleClickShowsTheLastLinesText) {
    load("AutoSelSetting=2\r\n");
    labels.lastProgramName = " P100 ";
    labels.lastProgramComment = " DOOR LEFT ";
    setup.templateDoubleClicked();
    EXPECT_EQ(display.templateText, "DOOR LEFT");
    setup.positionMoved(1);
    EXPECT_EQ(display.templateText, std::string(25, '?'));
}

TEST_F(Settings, SetAllAndClearAllReachTheirTabsSlots) {
    load("");
    setup.setAllOnTab(1, true);
    EXPECT_TRUE(settings.slot(Slot::SFR).enabled);
    EXPECT_FALSE(settings.slot(Slot::FFS).enabled);
    setup.setAllOnTab(2, true);
    EXPECT_TRUE(settings.slot(Slot::FFS).enabled);
    EXPECT_TRUE(settings.slot(Slot::BFM).enabled);
    setup.setAllOnTab(1, false);
    EXPECT_FALSE(settings.slot(Slot::SFS).enabled);
    EXPECT_TRUE(settings.slot(Slot::FFS).enabled);
    setup.setAllOnTab(0, false);
    setup.setAllOnTab(3, false);
    EXPECT_TRUE(settings.slot(Slot::FFS).enabled);
}

struct MirrorCase {
    const char* name;
    AutoSelSource source;
    MirrorMode mode;
    bool fromLeft;
    int position;
    std::string trigger;
    std::string programName;
    std::string comment;
    std::string fieldCodeAfter;
    bool pair;
};

TEST(MirrorTrigger, FindsTheTriggerAtItsPlace) {
    using S = AutoSelSource;
    using M = MirrorMode;
    const MirrorCase cases[] = {
        {"right_n1", S::ProgramName, M::Mirror, false, 12, "M", " pan123m ", "", "W", false},
        {"left_1", S::ProgramName, M::Mirror, true, 1, "M", " pan123m ", "", "P", false},
        {"wildcard", S::ProgramName, M::Mirror, true, 5, "*", "X", "", "W", false},
        {"empty_source", S::ProgramName, M::Mirror, true, 1, "*", "  ", "", "A", false},
        {"longer_trigger", S::ProgramName, M::Mirror, true, 1, "ABC", "AB", "", "A", false},
        {"left_past_end", S::ProgramName, M::Mirror, true, 10, "A", "ABC", "", "P", false},
        {"pair", S::ProgramName, M::NormAndMirror, true, 1, "P", "P100", "", "W", true},
        {"pair_no_match", S::ProgramName, M::NormAndMirror, true, 2, "P", "P100", "", "P", false},
        {"barcode", S::Barcode, M::NormAndMirror, true, 1, "P", "P100", "", "A", false},
        {"right_n2", S::ProgramName, M::Mirror, false, 10, "AB", "XXAB", "", "W", false},
        {"right_n2_miss", S::ProgramName, M::Mirror, false, 10, "AB", "XABX", "", "P", false},
        {"right_before_start", S::ProgramName, M::Mirror, false, 1, "A", "AB", "", "P", false},
        {"comment", S::Comment, M::Mirror, true, 3, "mir", "", " xxMIRROR", "W", false},
        {"case_blind", S::ProgramName, M::Mirror, true, 1, "p", "P1", "", "W", false},
        {"spaces_count", S::ProgramName, M::Mirror, true, 2, " ", "A B", "", "W", false},
        {"too_long_left", S::ProgramName, M::Mirror, true, 1, "ABCDEFGHIJKLMN", "ABCDEFGHIJKLMNOP",
         "", "W", false},
        {"too_long_right", S::ProgramName, M::Mirror, false, 1, "BCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO",
         "", "W", false},
    };
    for (const MirrorCase& c : cases) {
        FieldSelectionSettings settings;
        settings.source = c.source;
        settings.mirrorMode = c.mode;
        TriggerDisplay display;
        display.fromLeft = c.fromLeft;
        display.position = c.position;
        display.text = c.trigger;
        LabelState state;
        state.data.programName = c.programName;
        state.programComment = c.comment;
        state.data.fieldCode = "A";
        EXPECT_EQ(checkMirrorTrigger(settings, display, state), c.pair) << c.name;
        EXPECT_EQ(state.data.fieldCode, c.fieldCodeAfter) << c.name;
    }
}

} // namespace
} // namespace lumetra
