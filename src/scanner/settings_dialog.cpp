#include "scanner/settings_dialog.h"

#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lumetra {

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(fromAscii("frmSettings"));
    centreWhenShown(*this);
    setWindowTitle(fromAscii("Settings"));
    auto* layout = new QVBoxLayout(this);
    m_ports = addGroup("fraComPort", "&Com Port",
                       {{"optCom1", "Com1", 1},
                        {"optCom2", "Com2", 2},
                        {"optCom3", "Com3", 3},
                        {"OptCom4", "Com4", 4}},
                       [this](int v) { m_values.port = static_cast<std::int16_t>(v); });
    m_bauds = addGroup("Frame1", "&Baud Rate",
                       {{"optBaud300", "300", 300},
                        {"optBaud1200", "1200", 1200},
                        {"optBaud2400", "2400", 2400},
                        {"optBaud4800", "4800", 4800},
                        {"optBaud9600", "9600", 9600},
                        {"optBaud19200", "19200", 19200},
                        {"optBaud38400", "38400", 38400},
                        {"optBaud57600", "57600", 57600}},
                       [this](int v) { m_values.baudRate = v; });
    m_parities =
        addGroup("fraParity", "&Parity",
                 {{"optParityNone", "None", 'N'},
                  {"optParityOdd", "Odd", 'O'},
                  {"optParityEven", "Even", 'E'}},
                 [this](int v) { m_values.parity = std::string(1, static_cast<char>(v)); });
    m_dataBits =
        addGroup("fraDataBits", "&Data Bits", {{"optDataBits7", "7", 7}, {"optDataBits8", "8", 8}},
                 [this](int v) { m_values.dataBits = static_cast<std::int16_t>(v); });
    m_stopBits =
        addGroup("fraStopBits", "&Stop Bits", {{"optStopBits1", "1", 1}, {"optStopBits2", "2", 2}},
                 [this](int v) { m_values.stopBits = static_cast<std::int16_t>(v); });

    addDeviceChoice(*layout);
    addOkCancelRow(*this, *layout, fromAscii("cmdOK"), fromAscii("cmdCancel"));
}

// The device the selected port maps to: the serial devices present, with what is known
// of them, their stable names, or a path typed in.
void SettingsDialog::addDeviceChoice(QVBoxLayout& layout) {
    auto* frame = new QGroupBox(fromAscii("De&vice of the selected port"), this);
    frame->setObjectName(fromAscii("fraDevice"));
    auto* frameLayout = new QHBoxLayout(frame);
    m_device = new QComboBox(frame);
    m_device->setObjectName(fromAscii("cboDevice"));
    m_device->setEditable(true);
    m_device->setInsertPolicy(QComboBox::NoInsert);
    auto* refresh = new QPushButton(fromAscii("&Refresh"), frame);
    refresh->setObjectName(fromAscii("cmdRefreshDevices"));
    refresh->setAutoDefault(false);
    connect(refresh, &QPushButton::clicked, this, &SettingsDialog::refreshDevices);
    frameLayout->addWidget(m_device, 1);
    frameLayout->addWidget(refresh);
    layout.addWidget(frame);
    connect(m_device, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        const int index = m_device->findText(text);
        m_values.device =
            fromQString(index >= 0 ? m_device->itemData(index).toString() : text.trimmed());
    });
    connect(m_ports, &QButtonGroup::idToggled, this, [this](int port, bool checked) {
        if (checked && m_deviceOf)
            m_device->setEditText(toQString(m_deviceOf(port)));
    });
}

void SettingsDialog::refreshDevices() {
    // The text stands for the chosen device: it stays whatever the list now holds.
    const QString chosen = m_device->currentText();
    const QSignalBlocker quiet(m_device);
    m_device->clear();
    if (m_deviceList)
        for (const SerialDevice& device : m_deviceList())
            m_device->addItem(toQString(device.shown), toQString(device.path));
    m_device->setEditText(chosen);
}

QButtonGroup* SettingsDialog::addGroup(const char* name, const char* caption,
                                       const std::vector<Choice>& choices,
                                       const std::function<void(int)>& store) {
    auto* frame = new QGroupBox(fromAscii(caption), this);
    frame->setObjectName(fromAscii(name));
    auto* frameLayout = new QGridLayout(frame);
    auto* group = new QButtonGroup(frame);
    int index = 0;
    for (const Choice& choice : choices) {
        auto* option = new QRadioButton(fromAscii(choice.caption), frame);
        option->setObjectName(fromAscii(choice.name));
        group->addButton(option, choice.value);
        frameLayout->addWidget(option, index / 4, index % 4);
        ++index;
    }
    connect(group, &QButtonGroup::idToggled, this, [store](int id, bool checked) {
        if (checked)
            store(id);
    });
    static_cast<QVBoxLayout*>(layout())->addWidget(frame);
    return group;
}

void SettingsDialog::select(QButtonGroup* group, int value) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
    if (QAbstractButton* button = group->button(value))
        button->setChecked(true);
}

void SettingsDialog::load(const SerialDialogValues& loaded) {
    m_values = {};
    select(m_ports, loaded.port);
    select(m_bauds, loaded.baudRate);
    select(m_parities,
           loaded.parity.size() == 1 ? static_cast<unsigned char>(loaded.parity[0]) : -1);
    select(m_dataBits, loaded.dataBits);
    select(m_stopBits, loaded.stopBits);
    // Values that match no option are still kept and written back by OK.
    m_values = loaded;
    refreshDevices();
    m_device->setEditText(toQString(loaded.device));
    m_values.device = loaded.device;
    centreWindow(*this);
}

std::optional<SerialDialogValues> SettingsDialog::run(const SerialDialogValues& loaded) {
    load(loaded);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return m_values;
}

} // namespace lumetra
