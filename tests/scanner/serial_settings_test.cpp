#include "platform/portable/portable_profile.h"
#include "scanner/serial_link.h"
#include "scanner/serial_settings.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

TEST(SerialSettings, ParsesOnlyWhatAPortAccepts) {
    const std::pair<std::string_view, bool> cases[] = {
        {"9600,N,8,1", true},   {"19200,E,7,2", true},
        {"14400,n,8,1", true},  {"9600,N,8", false},
        {"9600,X,8,1", false},  {"9600,N,9,1", false},
        {"9600,N,8,3", false},  {"", false},
        {"abc,N,8,1", false},   {"9600,NN,8,1", false},
        {"9600,N,8,1,", false}, {"0,N,8,1", false},
        {"9600,N,5,1.5", true}, {"9600,M,8,1", true},
        {"9600,S,7,2", true},   {"9600,N,8,1.0", false},
        {"9600,N,8,01", true},  {"9600,N,8,2.5", false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(parseLineSettings(text).has_value(), valid) << text;
    const auto parsed = parseLineSettings("19200,e,7,2");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->baudRate, 19200);
    EXPECT_EQ(parsed->parity, 'E');
    EXPECT_EQ(parsed->dataBits, 7);
    EXPECT_EQ(parsed->stopBits, StopBits::Two);
    EXPECT_EQ(parseLineSettings("1200,O,5,1.5")->stopBits, StopBits::OneAndHalf);
    EXPECT_EQ(parseLineSettings("1200,O,5,1")->stopBits, StopBits::One);
}

TEST(SerialSettings, TheDialogLoadsByPosition) {
    struct Case {
        std::int16_t port;
        std::string settings;
        SerialDialogValues expected;
    };
    const Case cases[] = {
        {3, "19200,E,7,2", {3, 19200, "E", 7, 2, ""}},
        {1, "14400,N,8,1", {1, 14400, "N", 8, 1, ""}},
        {9, "9600,N,8,1", {0, 9600, "N", 8, 1, ""}},
        {5, "9600,N,8,1", {0, 9600, "N", 8, 1, ""}},
        {0, "9600,N,8,1", {0, 9600, "N", 8, 1, ""}},
        {-1, "9600,N,8,1", {0, 9600, "N", 8, 1, ""}},
        {4, "9600,N,8,1", {4, 9600, "N", 8, 1, ""}},
        {1, "9600,None,8,1", {1, 9600, "N", 0, 0, ""}},
        {1, "9600", {1, 9600, "", 0, 0, ""}},
        {1, "", {1, 0, "", 0, 0, ""}},
        {1, ",,,", {1, 0, ",", 0, 0, ""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(loadDialogValues(c.port, c.settings), c.expected) << c.settings;
    }
    EXPECT_EQ(composeSettings({3, 14400, "N", 8, 1, ""}), "14400,N,8,1");
    EXPECT_EQ(composeSettings(loadDialogValues(1, "19200,E,7,2")), "19200,E,7,2");
}

struct ScriptedDialog : SerialSettingsDialog {
    std::vector<SerialDialogValues> shown;
    std::deque<std::optional<SerialDialogValues>> answers;
    std::optional<SerialDialogValues> run(const SerialDialogValues& loaded) override {
        shown.push_back(loaded);
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class Link : public ::testing::Test {
protected:
    Link()
        : profile(dir.str()), ini(profile, dir.file("ORX.INI")), status(panel, log, pump),
          errors(dialogs, log),
          link(port, config, ini, panel, status, dialog, errors, log, [this] { return now; }) {
        config.serialSettings = "9600,N,8,1";
        config.commPort = 1;
    }
    // The next attempt is due: attempts are a second apart.
    void aSecondLater() { now += std::chrono::milliseconds(1000); }

    std::chrono::steady_clock::time_point now;
    TempDir dir;
    PortableProfile profile;
    IniFile ini;
    Configuration config;
    FakeSerialPort port;
    FakePanel panel;
    FakeDialogs dialogs;
    FakePump pump;
    OperatorLog log;
    StatusLine status;
    ErrorReporter errors;
    ScriptedDialog dialog;
    SerialLink link;
};

TEST_F(Link, OpensWithTheConfiguredSettings) {
    config.serialSettings = "19200,E,7,2";
    config.commPort = 3;
    link.openScannerPort();
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.openedPort, 3);
    EXPECT_EQ(port.openedSettings.parity, 'E');
    EXPECT_EQ(panel.portCaption, "COM3:19200,E,7,2");
    EXPECT_EQ(panel.portDetail, "/dev/ttyS2");
    EXPECT_TRUE(dialog.shown.empty());
}

// A port closed at start-up tells why in its caption, with the device and the whole
// reason in the tooltip; one whose device may still come is opened by itself when it can.
TEST_F(Link, APortThatCouldNotBeOpenedSaysWhyAndOpensByItselfWhenItCan) {
    struct Case {
        PortProblem kind;
        const char* caption;
        bool opensByItself;
    };
    for (const Case& c :
         {Case{PortProblem::DeviceMissing, "no scanner: device missing", true},
          Case{PortProblem::NoPermission, "no scanner: no permission (dialout)", true},
          Case{PortProblem::Busy, "no scanner: busy", true},
          Case{PortProblem::NoSuchPort, "no scanner: no such port", false}}) {
        SCOPED_TRACE(c.caption);
        link.closePort();
        dialogs.shown.clear();
        dialog.shown.clear();
        port.refusal = "/dev/ttyS0: the whole reason";
        port.refusalKind = c.kind;
        link.openScannerPort();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text,
                  "Unexpected error # 8002 occured: /dev/ttyS0: the whole reason");
        EXPECT_EQ(dialog.shown.size(), 1u) << "then the settings dialog";
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(panel.portCaption, c.caption);
        EXPECT_EQ(panel.portDetail, "COM1 on /dev/ttyS0: /dev/ttyS0: the whole reason");
        aSecondLater();
        link.reopenWhenPossible();
        EXPECT_FALSE(port.isOpen()) << "still refused";
        EXPECT_EQ(dialogs.shown.size(), 1u) << "no message box for each attempt";
        port.refusal.clear(); // the device appeared
        aSecondLater();
        panel.statuses.clear();
        link.reopenWhenPossible();
        EXPECT_EQ(port.isOpen(), c.opensByItself);
        if (c.opensByItself) {
            EXPECT_EQ(panel.portCaption, "COM1:9600,N,8,1");
            EXPECT_EQ(panel.status(), "Scanner port open: COM1:9600,N,8,1");
        } else {
            EXPECT_TRUE(panel.statuses.empty());
        }
    }
}

TEST_F(Link, ALostPortIsShownAndOpenedAgainWhenTheDeviceIsBack) {
    link.openScannerPort();
    port.open_ = false; // the scanner was pulled out
    port.refusal = "/dev/ttyS0: device missing (plugged in?)";
    link.reopenWhenPossible();
    EXPECT_EQ(panel.portCaption, "scanner lost: device missing");
    EXPECT_EQ(panel.portDetail, "COM1 on /dev/ttyS0: /dev/ttyS0: device missing (plugged in?)");
    for (int i = 0; i < 5; ++i)
        link.reopenWhenPossible();
    EXPECT_TRUE(dialogs.shown.empty()) << "no message box for each attempt";
    EXPECT_TRUE(dialog.shown.empty());
    port.refusal.clear(); // plugged in again
    link.reopenWhenPossible();
    EXPECT_FALSE(port.isOpen()) << "tried once a second";
    aSecondLater();
    link.reopenWhenPossible();
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(panel.portCaption, "COM1:9600,N,8,1");
    EXPECT_EQ(panel.status(), "Scanner port open again: COM1:9600,N,8,1");
    link.closePort();
    link.reopenWhenPossible();
    EXPECT_FALSE(port.isOpen()) << "a port closed on purpose stays closed";
}

TEST_F(Link, SettingsThePortRefusesAreAnUnexpectedErrorAndTheLogSaysWhy) {
    TempDir logs;
    OperatorLog fileLog(logs.file("op.log"));
    ErrorReporter reporter(dialogs, fileLog);
    SerialLink logged(port, config, ini, panel, status, dialog, reporter, fileLog,
                      [this] { return now; });
    config.iniPath = "C:\\LUMETRA\\ORX.INI";
    config.serialSettings = "9600,Q,8,1";
    logged.openScannerPort();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Unexpected error # 380 occured: Invalid property value");
    EXPECT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(panel.portCaption, "no scanner: settings refused");
    EXPECT_NE(readFile(logs.file("op.log"))
                  .find("Settings=9600,Q,8,1 in C:\\\\LUMETRA\\\\ORX.INI is refused by the port: "
                        "a valid value looks like 9600,N,8,1"),
              std::string::npos);
    port.refusal.clear();
    aSecondLater();
    logged.reopenWhenPossible();
    EXPECT_FALSE(port.isOpen()) << "settings are changed by the operator only";
}

TEST_F(Link, OkStoresSavesAndReopens) {
    dialog.answers.push_back(SerialDialogValues{2, 4800, "O", 8, 1, ""});
    link.showSettingsDialog();
    EXPECT_EQ(dialog.shown[0], (SerialDialogValues{1, 9600, "N", 8, 1, "/dev/ttyS0"}))
        << "the dialog shows the device of the selected port";
    EXPECT_EQ(readFile(dir.file("ORX.INI")), "[VOZEZIZO]\r\nSettings=4800,O,8,1\r\nCommPort=2\r\n");
    EXPECT_EQ(panel.portCaption, "COM2:4800,O,8,1");
    EXPECT_EQ(port.openedPort, 2);
}

TEST_F(Link, OkStoresAChosenDeviceAsTheMappingOfThePort) {
    dialog.answers.push_back(SerialDialogValues{2, 9600, "N", 8, 1, "/dev/serial/by-id/usb-X"});
    link.showSettingsDialog();
    EXPECT_EQ(ini.readString(kMainSection, "Com2Device", ""), "/dev/serial/by-id/usb-X");
    dialog.answers.push_back(SerialDialogValues{3, 9600, "N", 8, 1, "/dev/ttyS2"});
    link.showSettingsDialog();
    EXPECT_EQ(ini.readString(kMainSection, "Com3Device", "none"), "none")
        << "the device the port maps to already is not written";
}

TEST_F(Link, OkWithoutChangesWritesTheSameText) {
    config.serialSettings = "14400,N,8,1";
    dialog.answers.push_back(loadDialogValues(1, "14400,N,8,1"));
    link.showSettingsDialog();
    EXPECT_EQ(profile.readString(dir.file("ORX.INI"), "VOZEZIZO", "Settings", "", 128),
              "14400,N,8,1");
}

TEST_F(Link, TheDialogComesBackUntilThePortOpensOrCancel) {
    port.refusal = "busy";
    dialog.answers.push_back(SerialDialogValues{2, 9600, "N", 8, 1, ""});
    dialog.answers.push_back(std::nullopt);
    link.openScannerPort();
    EXPECT_EQ(dialog.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(config.commPort, 2);
}

TEST_F(Link, CancelChangesNothing) {
    link.showSettingsDialog();
    EXPECT_FALSE(std::filesystem::exists(dir.file("ORX.INI")));
    EXPECT_FALSE(port.isOpen());
}

} // namespace
} // namespace lumetra
