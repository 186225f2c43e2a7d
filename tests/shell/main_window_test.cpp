#include "shell/main_window.h"

#include "base/status_line.h"
#include "platform/qt/one_line_label.h"
#include "platform/qt/qt_widgets.h"
#include "shell/about_box.h"
#include "support/fakes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace lumetra {
namespace {

struct RecordingEvents : MainWindowEvents {
    std::vector<Option> clicks;
    int opened = 0;
    EntryOutcome outcome = EntryOutcome::Accepted;
    std::vector<std::string> finished;
    int ticks = 0;
    void optionClicked(Option option) override { clicks.push_back(option); }
    void entryOpened() override { ++opened; }
    EntryOutcome entryFinished(const std::string& typed) override {
        finished.push_back(typed);
        return outcome;
    }
    void pollTick() override { ++ticks; }
    void showSerialSettings() override {}
    void showFieldSelection() override {}
    void showExclusionInsertion() override {}
    void closeRequested() override {}
    void exitNow() override {}
    void problemAcknowledged() override {
        ++acknowledged;
        if (onAcknowledged)
            onAcknowledged();
    }
    int acknowledged = 0;
    std::function<void()> onAcknowledged;
};

template <typename T> T* find(QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

TEST(MainWindow, HasEveryControlWithItsCaptionAndState) {
    RecordingEvents events;
    MainWindow window(events);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Lumetra"));
    const std::pair<const char*, const char*> boxes[] = {
        {"AClear", "Automatic Clear on Scan"},
        {"Overwrite", "Overwrite Existing Programs With Program From 2D Barcode"},
        {"ShowEd", "Show Program in Editor"},
        {"AutoStart", "  Machine Auto Start"},
    };
    for (const auto& [name, caption] : boxes)
        EXPECT_EQ(find<QCheckBox>(window, name)->text(), QString::fromLatin1(caption));
    EXPECT_FALSE(find<QCheckBox>(window, "AClear")->isChecked());
    EXPECT_TRUE(find<QCheckBox>(window, "Overwrite")->isChecked());
    EXPECT_FALSE(find<QCheckBox>(window, "ShowEd")->isChecked());
    EXPECT_TRUE(find<QCheckBox>(window, "AutoStart")->isChecked());

    EXPECT_FALSE(find<QLineEdit>(window, "txtEtichetta")->isEnabled());
    EXPECT_TRUE(find<QPushButton>(window, "cmdEdit")->isEnabled());
    EXPECT_EQ(find<QPushButton>(window, "cmdEdit")->text(), QStringLiteral("Edit"));
    EXPECT_FALSE(find<QPushButton>(window, "cmdEndEdit")->isEnabled());
    EXPECT_TRUE(find<QPushButton>(window, "cmdEndEdit")->isDefault());
    EXPECT_EQ(find<QLabel>(window, "lblStatusBar")->text(), QStringLiteral("Ready."));
    const char* indicators[] = {"Load List", "Program", "Dimensions", "Vars A-D", "Vars E-I"};
    for (int i = 0; i < 5; ++i) {
        const std::string name = "LabID" + std::to_string(i);
        QLabel* label = find<QLabel>(window, name.c_str());
        EXPECT_EQ(label->text(), QString::fromLatin1(indicators[i]));
        EXPECT_TRUE(label->isHidden());
    }
    EXPECT_TRUE(find<QLabel>(window, "LabelAFS")->isHidden());
    EXPECT_EQ(find<QLabel>(window, "LabelAFS")->text(),
              QStringLiteral("Automatic Field Selection"));
    EXPECT_TRUE(find<QLabel>(window, "DSpin")->isHidden());
    EXPECT_EQ(find<QLabel>(window, "DSpin")->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(find<QTimer>(window, "Timer1")->interval(), 1000);
    find<QLabel>(window, "lblCurSettings");
    find<QLabel>(window, "ComDisplay");
    find<QLabel>(window, "ExLab");
}

TEST(MainWindow, MenuCarriesItsItemsAndAccelerators) {
    RecordingEvents events;
    MainWindow window(events);
    const std::pair<const char*, const char*> items[] = {
        {"mnuExit", "E&xit"},
        {"mnuSetttings", "&Settings"},
        {"MnuAutoFld", "&Auto Field Select"},
        {"ExIns", "&Exclusion Insertion"},
        {"mnuAbout", "&About Lumetra ..."},
    };
    for (const auto& [name, caption] : items) {
        auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->text(), QString::fromLatin1(caption));
    }
    const std::pair<const char*, const char*> menus[] = {
        {"mnuFile", "&File"}, {"mnuOptions", "&Options"}, {"mnuHelp", "&?"}};
    for (const auto& [name, caption] : menus)
        EXPECT_EQ(find<QMenu>(window, name)->title(), QString::fromLatin1(caption));
}

TEST(MainWindow, ManualEntryOpensAndClosesByOutcome) {
    RecordingEvents events;
    MainWindow window(events);
    window.show();
    QApplication::setActiveWindow(&window);
    auto* entry = find<QLineEdit>(window, "txtEtichetta");
    auto* edit = find<QPushButton>(window, "cmdEdit");
    auto* done = find<QPushButton>(window, "cmdEndEdit");

    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_EQ(events.opened, 1);
    EXPECT_TRUE(entry->isEnabled());
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_TRUE(done->isEnabled());

    events.outcome = EntryOutcome::Refused;
    QTest::keyClicks(entry, QStringLiteral("%12P100 N%"));
    QTest::keyClick(entry, Qt::Key_Return);
    ASSERT_EQ(events.finished, std::vector<std::string>{"%12P100 N%"});
    EXPECT_TRUE(entry->isEnabled()) << "a refused label keeps the entry open";
    EXPECT_EQ(entry->text(), QStringLiteral("%12P100 N%"));

    events.outcome = EntryOutcome::Accepted;
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_FALSE(entry->isEnabled());
    EXPECT_TRUE(entry->text().isEmpty());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_FALSE(done->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), edit)
        << "after an accepted label a Space must not click an option";
}

TEST(MainWindow, EscapeClosesAnOpenEntryAsAnEmptyOkDoes) {
    RecordingEvents events;
    events.outcome = EntryOutcome::ClosedEmpty;
    MainWindow window(events);
    window.show();
    QApplication::setActiveWindow(&window);
    auto* entry = find<QLineEdit>(window, "txtEtichetta");
    auto* edit = find<QPushButton>(window, "cmdEdit");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(events.finished.empty()) << "a closed entry has nothing to close";
    edit->click();
    QTest::keyClicks(entry, QStringLiteral("%12P1"));
    QTest::keyClick(entry, Qt::Key_Escape);
    EXPECT_EQ(events.finished, std::vector<std::string>{""});
    EXPECT_FALSE(entry->isEnabled());
    EXPECT_TRUE(entry->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), edit);
}

TEST(MainWindow, EnterPressesOkFromAnyControlOfTheWindow) {
    RecordingEvents events;
    events.outcome = EntryOutcome::Refused;
    MainWindow window(events);
    window.show();
    QApplication::setActiveWindow(&window);
    auto* entry = find<QLineEdit>(window, "txtEtichetta");
    QTest::keyClick(find<QCheckBox>(window, "AutoStart"), Qt::Key_Return);
    EXPECT_TRUE(events.finished.empty()) << "with the entry closed Enter does nothing";

    find<QPushButton>(window, "cmdEdit")->click();
    QTest::keyClicks(entry, QStringLiteral("P1"));
    QWidget* controls[] = {entry, find<QCheckBox>(window, "AClear"),
                           find<QCheckBox>(window, "AutoStart"),
                           find<QPushButton>(window, "cmdEndEdit")};
    for (QWidget* control : controls) {
        const auto before = events.finished.size();
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
        ASSERT_EQ(events.finished.size(), before + 1) << control->objectName().toStdString();
        QTest::keyClick(control, Qt::Key_Enter);
        ASSERT_EQ(events.finished.size(), before + 2) << control->objectName().toStdString();
    }
}

TEST(MainWindow, AGrayedOptionBecomesAPlainBoxAtTheFirstClick) {
    for (const Option option : {Option::AClear, Option::Overwrite}) {
        RecordingEvents events;
        MainWindow window(events);
        window.show();
        window.setOptionValue(option, 2);
        QCheckBox* check =
            find<QCheckBox>(window, option == Option::AClear ? "AClear" : "Overwrite");
        std::vector<int> seen;
        for (int i = 0; i < 4; ++i) {
            check->click();
            seen.push_back(window.optionValue(option));
        }
        EXPECT_EQ(seen, (std::vector<int>{1, 0, 1, 0}));
        window.setOptionValue(option, 0);
        check->click();
        EXPECT_EQ(window.optionValue(option), 1) << "an unticked box goes to ticked, never grayed";
    }
}

TEST(MainWindow, LongScansNeverGrowTheWindow) {
    RecordingEvents events;
    MainWindow window(events);
    window.show();
    QApplication::processEvents();
    const QSize size = window.size();
    std::string program;
    for (int i = 0; i < 80; ++i)
        program += "N" + std::to_string(i) + " G1 X100 Y200\r\n";
    std::string binary;
    for (int i = 0; i < 600; ++i)
        binary += static_cast<char>(i % 256);
    for (const std::string& scan :
         {std::string(300, 'L'), "NAME^X1!" + program, binary, std::string(1 << 20, 'Q')}) {
        window.setScanDisplay(" Last Scan:    " + scan);
        window.setStatusText("Reading Barcode-Label." + scan);
        window.setIndicatorVisible(2, true);
        window.setAutoFieldVisible(true);
        window.setActivity(true, "N");
        QApplication::processEvents();
        EXPECT_EQ(window.size(), size) << scan.size();
        window.setIndicatorVisible(2, false);
        window.setAutoFieldVisible(false);
        window.setActivity(false, {});
        QApplication::processEvents();
        EXPECT_EQ(window.size(), size) << scan.size();
    }
}

TEST(MainWindow, TheStatusAndTheScanShowOneLineAndTheWholeTextInTheirTooltips) {
    RecordingEvents events;
    MainWindow window(events);
    window.show();
    auto* status = find<QLabel>(window, "lblStatusBar");
    auto* display = find<QLabel>(window, "ComDisplay");
    window.setStatusText("Reading Barcode-Label.%12P1\r\nN\x01%");
    const QString shown = status->text();
    EXPECT_TRUE(shown == QString::fromUtf8("Reading Barcode-Label.%12P1\u240D\u240AN\u2401%") ||
                shown == QStringLiteral("Reading Barcode-Label.%12P1\\r\\nN\\x01%"))
        << shown.toStdString();
    for (const QChar c : shown)
        EXPECT_TRUE(status->fontMetrics().inFontUcs4(c.unicode()))
            << "the font cannot draw U+" << std::hex << static_cast<int>(c.unicode());
    const std::string program = "NAME^X1!" + std::string(2000, 'G');
    window.setScanDisplay(" Last Scan:    " + program);
    EXPECT_FALSE(display->text().contains(QLatin1Char('\n')));
    EXPECT_TRUE(display->toolTip().startsWith(QStringLiteral(" Last Scan:    NAME^X1!GGG")));
    EXPECT_EQ(display->toolTip().count(QLatin1Char('G')), 2000);
    window.setScanDisplay(" Last Scan:    " + std::string(10000, 'Z'));
    EXPECT_TRUE(display->toolTip().endsWith(QStringLiteral("(10015 bytes)")));
    EXPECT_LT(display->toolTip().size(), 4200);
    EXPECT_LE(display->sizeHint().width(), 400);
}

TEST(MainWindow, ControlCharactersFallBackToTheLogsFormWhereTheFontHasNoPictures) {
    const auto none = [](char32_t) { return false; };
    const auto all = [](char32_t) { return true; };
    EXPECT_EQ(visibleText("A\x1B"
                          "B\r\n\x7F\\",
                          none),
              QStringLiteral("A\\x1BB\\r\\n\\x7F\\\\"));
    EXPECT_EQ(visibleText("A\x1B"
                          "B\x7F",
                          all),
              QString::fromUtf8("A\u241BB\u2421"));
    EXPECT_EQ(visibleText("plain \\ text", none), QStringLiteral("plain \\ text"))
        << "a text without controls is shown as it is";
    EXPECT_TRUE(
        visibleText("\x01" + std::string(600, 'x'), none).endsWith(QStringLiteral("(601 bytes)")));
}

TEST(MainWindow, AProblemStaysReadableAfterReadyUntilItIsAcknowledged) {
    RecordingEvents events;
    MainWindow window(events);
    OperatorLog log;
    testing::FakePump pump;
    StatusLine status(window, log, pump);
    events.onAcknowledged = [&] { status.problems().acknowledge(); };
    window.show();
    QApplication::setActiveWindow(&window);
    auto* indicator = find<QLabel>(window, "problemIndicator");
    EXPECT_TRUE(indicator->isHidden());

    status.show("Wait saving g-code.");
    status.showProblem(
        ProblemStep::ProgramFile,
        "Program file not saved: C:\\VELMORA\\PRODUCT\\P1 (No space left on device)");
    status.show("Adding to Barcode data to List.");
    status.readyStep();
    EXPECT_EQ(find<QLabel>(window, "lblStatusBar")->text(), QStringLiteral("Ready."));
    EXPECT_TRUE(indicator->isVisible());
    EXPECT_TRUE(indicator->text().startsWith(QStringLiteral("Program file not saved")));
    EXPECT_TRUE(indicator->toolTip().contains(QStringLiteral("No space left on device")));

    QTest::mouseClick(indicator, Qt::LeftButton);
    EXPECT_TRUE(indicator->isHidden()) << "a click acknowledges it";

    status.showProblem(ProblemStep::CsvExport, "CSV export failed: disk full");
    EXPECT_TRUE(indicator->isVisible());
    EXPECT_EQ(indicator->toolTip().count(QLatin1Char('\n')), 1) << "the earlier one in the tooltip";
    QTest::keyClick(find<QPushButton>(window, "cmdEdit"), Qt::Key_Shift);
    EXPECT_TRUE(indicator->isHidden()) << "a key acknowledges it";
}

TEST(MainWindow, ALongPortCaptionLeavesTheStatusLineItsRoom) {
    RecordingEvents events;
    MainWindow window(events);
    window.show();
    QApplication::processEvents();
    const QSize size = window.size();
    const std::string device =
        "/dev/serial/by-id/usb-Datalogic_ADC_Inc._Handheld_Barcode_Scanner_" +
        std::string(100 - 66, 'S');
    ASSERT_EQ(device.size(), 100u);
    window.setStatusText(" Waiting for next barcode...");
    window.setPortCaption("COM1: no scanner: device missing (" + device + ")", device);
    window.setProblem("Program file not saved: " + device, "12:00:00  Program file not saved");
    QApplication::processEvents();
    EXPECT_EQ(window.size(), size) << "the window keeps its size";
    auto* status = find<QLabel>(window, "lblStatusBar");
    auto* strip = find<QWidget>(window, "picStatusBar");
    EXPECT_GE(status->width(), status->fontMetrics().horizontalAdvance(status->text()))
        << "the status line is shown whole";
    EXPECT_GE(status->width(), strip->width() / 3);
    EXPECT_EQ(find<QLabel>(window, "lblCurSettings")->toolTip().toStdString(), device);
}

TEST(MainWindow, OptionClicksAndPanelValues) {
    RecordingEvents events;
    MainWindow window(events);
    window.show();
    find<QCheckBox>(window, "AClear")->click();
    EXPECT_EQ(events.clicks, std::vector<Option>{Option::AClear});
    EXPECT_EQ(window.optionValue(Option::AClear), 1);
    window.setOptionValue(Option::Overwrite, 2);
    EXPECT_EQ(window.optionValue(Option::Overwrite), 2);
    EXPECT_TRUE(isTicked(window, Option::Overwrite));
    window.setExclusionCaption(" Exclusion Number 13  for insertion.");
    EXPECT_TRUE(find<QLabel>(window, "ExLab")->isVisible());
    window.setExclusionCaption(std::nullopt);
    EXPECT_FALSE(find<QLabel>(window, "ExLab")->isVisible());
    window.useSuffixVariantLayout();
    EXPECT_TRUE(find<QCheckBox>(window, "ShowEd")->isHidden());
    window.setStatusText("Reading Barcode-Label.\xF1");
    EXPECT_EQ(find<QLabel>(window, "lblStatusBar")->text(),
              QString::fromUtf8("Reading Barcode-Label.\xC3\xB1"));
}

} // namespace
} // namespace lumetra

namespace lumetra {
namespace {

TEST(MainWindow, Picture) {
    const QByteArray folder = qgetenv("LUMETRA_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "set LUMETRA_SCREENSHOT_DIR to write the picture of the main window";
    RecordingEvents events;
    MainWindow window(events);
    window.setStatusText(" Waiting for next barcode...");
    window.setPortCaption("COM1:9600,N,8,1", "/dev/ttyUSB0");
    window.setScanDisplay(" Last Scan:    %13P100 N 13 %");
    window.setIndicatorVisible(1, true);
    window.setIndicatorVisible(2, true);
    window.setExclusionCaption(" Exclusion Number 13  for insertion.");
    window.setOptionValue(Option::AClear, 1);
    window.show();
    ASSERT_TRUE(
        window.grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/main-window.png")));
}

} // namespace
} // namespace lumetra

namespace lumetra {
namespace {

// The windows carry the program's own icon, not a generic one (the SVG needs Qt's SVG
// image support, which the setup installs).
TEST(ProgramIcon, IsTheProgramsSvgAndTheAboutBoxShowsIt) {
    const QIcon icon = programIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage drawn = icon.pixmap(32, 32).toImage();
    ASSERT_FALSE(drawn.isNull()) << "the SVG could not be drawn";
    AboutBox about;
    const QLabel* picture = about.findChild<QLabel*>(QStringLiteral("picIcon"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
              drawn.convertToFormat(QImage::Format_ARGB32));
    const QImage generic =
        about.style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32).toImage();
    EXPECT_NE(drawn.convertToFormat(QImage::Format_ARGB32),
              generic.convertToFormat(QImage::Format_ARGB32));
}

} // namespace
} // namespace lumetra
