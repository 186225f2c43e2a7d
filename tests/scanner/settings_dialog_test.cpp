#include "scanner/settings_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <gtest/gtest.h>

namespace lumetra {
namespace {

QRadioButton* option(QWidget& dialog, const char* name) {
    auto* button = dialog.findChild<QRadioButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
}

TEST(SettingsDialog, HasEveryGroupAndOption) {
    SettingsDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Settings"));
    const std::pair<const char*, const char*> frames[] = {{"fraComPort", "&Com Port"},
                                                          {"Frame1", "&Baud Rate"},
                                                          {"fraParity", "&Parity"},
                                                          {"fraDataBits", "&Data Bits"},
                                                          {"fraStopBits", "&Stop Bits"}};
    for (const auto& [name, caption] : frames)
        EXPECT_EQ(dialog.findChild<QGroupBox*>(QString::fromLatin1(name))->title(),
                  QString::fromLatin1(caption));
    const char* options[] = {"optCom1",       "optCom2",      "optCom3",       "OptCom4",
                             "optBaud300",    "optBaud1200",  "optBaud2400",   "optBaud4800",
                             "optBaud9600",   "optBaud19200", "optBaud38400",  "optBaud57600",
                             "optParityNone", "optParityOdd", "optParityEven", "optDataBits7",
                             "optDataBits8",  "optStopBits1", "optStopBits2"};
    for (const char* name : options)
        EXPECT_FALSE(option(dialog, name)->isChecked()) << name;
    EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->isDefault());
    EXPECT_NE(dialog.findChild<QPushButton*>(QStringLiteral("cmdCancel")), nullptr);
}

TEST(SettingsDialog, LoadSelectsAndSelectionStores) {
    SettingsDialog dialog;
    dialog.load(loadDialogValues(3, "19200,E,7,2"));
    for (const char* name :
         {"optCom3", "optBaud19200", "optParityEven", "optDataBits7", "optStopBits2"})
        EXPECT_TRUE(option(dialog, name)->isChecked()) << name;

    dialog.load(loadDialogValues(1, "14400,N,8,1"));
    for (const char* name : {"optBaud300", "optBaud9600", "optBaud19200", "optCom3"})
        EXPECT_FALSE(option(dialog, name)->isChecked()) << name;
    EXPECT_EQ(composeSettings(dialog.workingValues()), "14400,N,8,1");

    option(dialog, "optCom2")->click();
    option(dialog, "optBaud4800")->click();
    option(dialog, "optParityOdd")->click();
    EXPECT_EQ(dialog.workingValues(), (SerialDialogValues{2, 4800, "O", 8, 1, ""}));

    dialog.load(loadDialogValues(5, "9600,N,8,1"));
    for (const char* name : {"optCom1", "optCom2", "optCom3", "OptCom4"})
        EXPECT_FALSE(option(dialog, name)->isChecked()) << name;
    EXPECT_EQ(dialog.workingValues().port, 0) << "OK stores no port that no option shows";
}

TEST(SettingsDialog, ShowsAndTakesTheDeviceOfTheSelectedPort) {
    SettingsDialog dialog;
    dialog.setDeviceLookup([](int port) { return "/dev/ttyUSB" + std::to_string(port - 1); });
    SerialDialogValues loaded = loadDialogValues(1, "9600,N,8,1");
    loaded.device = "/dev/ttyUSB0";
    dialog.load(loaded);
    auto* device = dialog.findChild<QComboBox*>(QStringLiteral("cboDevice"));
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->isEditable());
    EXPECT_EQ(device->currentText(), QStringLiteral("/dev/ttyUSB0"));
    option(dialog, "OptCom4")->click();
    EXPECT_EQ(device->currentText(), QStringLiteral("/dev/ttyUSB3"));
    device->setEditText(QStringLiteral("/dev/serial/by-id/usb-Scanner-if00"));
    EXPECT_EQ(dialog.workingValues().device, "/dev/serial/by-id/usb-Scanner-if00");
    EXPECT_EQ(dialog.workingValues().port, 4);
}

TEST(SettingsDialog, TheDevicesAreReadAtEachOpeningAndOnRefresh) {
    SettingsDialog dialog;
    std::vector<SerialDevice> present{{"/dev/ttyS0", "/dev/ttyS0"}};
    dialog.setDeviceList([&] { return present; });
    SerialDialogValues loaded = loadDialogValues(1, "9600,N,8,1");
    loaded.device = "/dev/ttyS0";
    dialog.load(loaded);
    auto* device = dialog.findChild<QComboBox*>(QStringLiteral("cboDevice"));
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->count(), 1);
    // A scanner plugged in while the dialog is open.
    present.push_back({"/dev/ttyACM0  (Scanner, Maker)", "/dev/ttyACM0"});
    dialog.findChild<QPushButton*>(QStringLiteral("cmdRefreshDevices"))->click();
    ASSERT_EQ(device->count(), 2);
    EXPECT_EQ(device->currentText(), QStringLiteral("/dev/ttyS0")) << "the choice stays";
    device->setCurrentIndex(1);
    EXPECT_EQ(dialog.workingValues().device, "/dev/ttyACM0");
    // Taken out again before the next opening.
    present.pop_back();
    dialog.load(loaded);
    EXPECT_EQ(device->count(), 1);
}

TEST(SettingsDialog, IsCentredOnTheScreenOnceShown) {
    SettingsDialog dialog;
    dialog.load(loadDialogValues(1, "9600,N,8,1"));
    dialog.show();
    QApplication::processEvents();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(std::abs(dialog.frameGeometry().center().x() - screen.center().x()), 2);
    EXPECT_LE(std::abs(dialog.frameGeometry().center().y() - screen.center().y()), 2);
    EXPECT_TRUE(screen.contains(dialog.frameGeometry()));
}

} // namespace
} // namespace lumetra
