#include "fields/field_selection_dialog.h"
#include "platform/portable/portable_profile.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

namespace lumetra {
namespace {

using testing::TempDir;
using testing::writeFile;

class SetupDialog : public ::testing::Test {
protected:
    SetupDialog()
        : profile(dir.str()), ini(profile, dir.file("ORX.INI")),
          setup(settings, display, labels, ini), dialog(setup) {
        writeFile(ini.path(), "[VOZEZIZO]\r\nFieldCode_SFS=S\r\nFieldFlag_SFS= 1\r\n");
        dialog.loadSettings();
        dialog.show();
    }
    template <typename T> T* find(const char* name) {
        T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString text(const char* label) { return find<QLabel>(label)->text(); }
    // Presses and releases the mouse on an option's indicator, as the operator does.
    void click(const char* option) {
        auto* button = find<QRadioButton>(option);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    TempDir dir;
    PortableProfile profile;
    IniFile ini;
    FieldSelectionSettings settings;
    TriggerDisplay display;
    LabelState labels;
    FieldSelectionSetup setup;
    FieldSelectionDialog dialog;
};

TEST_F(SetupDialog, ShowsEveryControlAndTheLoadedSettings) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Automatic Field Selection Setup"));
    auto* tabs = find<QTabWidget>("SSTab");
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Auto Field Select"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Standard Fields"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Front and Back"));
    EXPECT_EQ(tabs->tabText(3), QStringLiteral("Field Limits"));
    for (std::string_view name : kSlotNames) {
        const std::string slot(name);
        find<QLineEdit>(slot.c_str());
        if (slot != "SFN" && slot != "SFM" && slot != "DFN")
            find<QCheckBox>((slot + "cb").c_str());
    }
    EXPECT_EQ(dialog.findChild<QCheckBox*>(QStringLiteral("SFNcb")), nullptr);
    EXPECT_EQ(find<QLineEdit>("SFS")->text(), QStringLiteral("S"));
    EXPECT_TRUE(find<QCheckBox>("SFScb")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("MBC")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("MSel")->isChecked());
    EXPECT_FALSE(find<QWidget>("FrameTSet")->isEnabled());
    const std::pair<const char*, const char*> tips[] = {{"BtnOK", "Exit and keep changes"},
                                                        {"BtnCan", "Exit and loose changes"},
                                                        {"BtnCA", "Disable all fields on this tab"},
                                                        {"BtnSA", "Enable all fields on this tab"}};
    for (const auto& [name, tip] : tips)
        EXPECT_EQ(find<QPushButton>(name)->toolTip(), QString::fromLatin1(tip));
}

TEST_F(SetupDialog, PlaceTextFollowsTheTriggerAndTheSide) {
    click("MPName");
    click("OptAlnL");
    EXPECT_TRUE(find<QWidget>("FrameTSet")->isEnabled());
    EXPECT_EQ(find<QScrollBar>("PosScroll")->maximum(), 13);
    EXPECT_EQ(text("LabDispStr"), QString(12, QLatin1Char('?')));
    EXPECT_EQ(text("PosDispLeft"), QStringLiteral("1 From Left"));
    EXPECT_TRUE(find<QLabel>("PosDispLeft")->isVisible());
    EXPECT_FALSE(find<QLabel>("PosDispRight")->isVisible());

    click("MCmt");
    find<QLineEdit>("MSpec")->setText(QStringLiteral("M"));
    find<QScrollBar>("PosScroll")->setValue(25);
    click("OptAlnR");
    EXPECT_EQ(find<QScrollBar>("PosScroll")->maximum(), 25);
    EXPECT_EQ(text("LabDispStr"), QString(24, QLatin1Char('?')) + QStringLiteral("M"));
    EXPECT_EQ(text("PosDispRight"), QStringLiteral("1 From Right"));
    EXPECT_TRUE(find<QLabel>("PosDispRight")->isVisible());
    EXPECT_FALSE(find<QLabel>("PosDispLeft")->isVisible());
}

TEST_F(SetupDialog, SwitchingTheSourceCapturesTheShownTrigger) {
    click("MPName");
    find<QLineEdit>("MSpec")->setText(QStringLiteral("PN"));
    click("MCmt");
    EXPECT_EQ(find<QLineEdit>("MSpec")->text(), QString());
    find<QLineEdit>("MSpec")->setText(QStringLiteral("CM"));
    click("MPName");
    EXPECT_EQ(find<QLineEdit>("MSpec")->text(), QStringLiteral("PN"));
    click("MCmt");
    EXPECT_EQ(find<QLineEdit>("MSpec")->text(), QStringLiteral("CM"));
}

TEST_F(SetupDialog, TheKeyboardChoosesASourceAsTheMouseDoes) {
    click("MPName");
    find<QLineEdit>("MSpec")->setText(QStringLiteral("PN"));
    auto* comment = find<QRadioButton>("MCmt");
    comment->setFocus();
    QTest::keyClick(comment, Qt::Key_Space);
    ASSERT_TRUE(comment->isChecked());
    EXPECT_EQ(find<QLineEdit>("MSpec")->text(), QString());
    find<QLineEdit>("MSpec")->setText(QStringLiteral("CM"));
    auto* programName = find<QRadioButton>("MPName");
    programName->setFocus();
    QTest::keyClick(programName, Qt::Key_Space);
    EXPECT_EQ(find<QLineEdit>("MSpec")->text(), QStringLiteral("PN"));
    comment->click(); // a mnemonic or any other way of choosing it
    EXPECT_EQ(find<QLineEdit>("MSpec")->text(), QStringLiteral("CM"));
}

TEST_F(SetupDialog, IsCentredOnceShownAndEnterInACodeBoxPressesNoButton) {
    QApplication::processEvents();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(std::abs(dialog.frameGeometry().center().x() - screen.center().x()), 2);
    EXPECT_GE(dialog.frameGeometry().top(), 0);
    find<QTabWidget>("SSTab")->setCurrentIndex(1);
    auto* code = find<QLineEdit>("SFA");
    code->setFocus();
    QTest::keyClick(code, Qt::Key_Return);
    EXPECT_FALSE(settings.slot(Slot::SFA).enabled) << "Set All was not pressed";
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SetupDialog, SetAllAndClearAllShowOnlyOnTheSlotTabs) {
    auto* tabs = find<QTabWidget>("SSTab");
    auto* setAll = find<QPushButton>("BtnSA");
    auto* clearAll = find<QPushButton>("BtnCA");
    EXPECT_FALSE(setAll->isVisible());
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(setAll->isVisible());
    setAll->click();
    for (const char* box : {"SFScb", "SFAcb", "SFTcb", "SFRcb"})
        EXPECT_TRUE(find<QCheckBox>(box)->isChecked()) << box;
    EXPECT_FALSE(find<QCheckBox>("FFScb")->isChecked());
    tabs->setCurrentIndex(2);
    setAll->click();
    EXPECT_TRUE(settings.slot(Slot::BFR).enabled);
    clearAll->click();
    EXPECT_FALSE(find<QCheckBox>("FFNcb")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("SFScb")->isChecked());
    tabs->setCurrentIndex(3);
    EXPECT_FALSE(setAll->isVisible());
    EXPECT_FALSE(clearAll->isVisible());
    tabs->setCurrentIndex(0);
    EXPECT_FALSE(setAll->isVisible());
}

TEST_F(SetupDialog, EditsAreLiveAndOnlyOkWrites) {
    find<QLineEdit>("FFT")->setText(QStringLiteral("t1"));
    find<QLineEdit>("HlfLimX")->setText(QStringLiteral("1500"));
    EXPECT_EQ(settings.slot(Slot::FFT).code, "t1");
    EXPECT_EQ(settings.halfLimitX, "1500");
    find<QPushButton>("BtnCan")->click();
    EXPECT_EQ(ini.readString(kMainSection, "FieldCode_FFT", "none"), "none");
    dialog.show();
    find<QPushButton>("BtnOK")->click();
    EXPECT_EQ(ini.readString(kMainSection, "FieldCode_FFT", "none"), "T1");
    EXPECT_FALSE(dialog.isVisible());
}

// The mirror mode chosen for a source is stored under its own key and shown at the next
// start, for both sources and both modes.
TEST_F(SetupDialog, TheMirrorModeChosenIsSavedAndShownAtTheNextStart) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"MPName", "MSel", "PNameMSel", "1"},
        {"MPName", "NMSel", "PNameMSel", "0"},
        {"MCmt", "MSel", "CommentMSel", "1"},
        {"MCmt", "NMSel", "CommentMSel", "0"},
    };
    for (const auto& [source, mode, key, stored] : cases) {
        dialog.show();
        click(source);
        click(mode == std::string("MSel") ? "NMSel" : "MSel"); // the other one first
        click(mode);
        find<QPushButton>("BtnOK")->click();
        EXPECT_EQ(ini.readString(kMainSection, key, "none"), stored) << source << " " << mode;

        FieldSelectionSettings next;
        TriggerDisplay nextDisplay;
        FieldSelectionSetup nextSetup(next, nextDisplay, labels, ini);
        FieldSelectionDialog nextDialog(nextSetup);
        nextDialog.loadSettings();
        nextDialog.show();
        auto* shown = nextDialog.findChild<QRadioButton*>(QString::fromLatin1(mode));
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->isChecked()) << source << " " << mode << " at the next start";
    }
}

TEST_F(SetupDialog, PicturesOfTheTabs) {
    const QByteArray folder = qgetenv("LUMETRA_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "set LUMETRA_SCREENSHOT_DIR to write the pictures of the four tabs";
    auto* tabs = find<QTabWidget>("SSTab");
    click("MPName");
    find<QLineEdit>("MSpec")->setText(QStringLiteral("M"));
    const char* files[] = {"setup-tab0-auto-field-select.png", "setup-tab1-standard-fields.png",
                           "setup-tab2-front-and-back.png", "setup-tab3-field-limits.png"};
    for (int i = 0; i < 4; ++i) {
        tabs->setCurrentIndex(i);
        dialog.adjustSize();
        ASSERT_TRUE(dialog.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') +
                                       QString::fromLatin1(files[i])));
    }
}

} // namespace
} // namespace lumetra
