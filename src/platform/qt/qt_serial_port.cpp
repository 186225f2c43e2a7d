#include "platform/qt/qt_serial_port.h"

#include "common/errors.h"

#include <QSerialPortInfo>
#include <QStringList>
#include <filesystem>
#include <utility>

namespace lumetra {

namespace {

QSerialPort::Parity toParity(char parity) {
    switch (parity) {
    case 'O':
        return QSerialPort::OddParity;
    case 'E':
        return QSerialPort::EvenParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits toStopBits(StopBits stopBits) {
    switch (stopBits) {
    case StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case StopBits::Two:
        return QSerialPort::TwoStop;
    case StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

std::string describe(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// Qt's own check comes after the device's rights were found sound: a refusal then means
// another program holds the port (its lock file, or an exclusive opening).
DeviceFault openFailure(const QSerialPort& port) {
    switch (port.error()) {
    case QSerialPort::PermissionError:
        return {PortProblem::Busy,
                "busy: opened by another program (" + describe(port.errorString()) + ")"};
    case QSerialPort::DeviceNotFoundError:
        return {PortProblem::DeviceMissing, describe(port.errorString())};
    default:
        return {PortProblem::Other, describe(port.errorString())};
    }
}

} // namespace

QtSerialPort::QtSerialPort(DeviceForPort deviceForPort, DeviceProblem deviceProblem)
    : m_deviceForPort(std::move(deviceForPort)), m_deviceProblem(std::move(deviceProblem)) {
    QObject::connect(
        &m_port, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError error) {
            // A device that goes away while open: a pulled USB scanner gives a resource error,
            // a hung-up pseudo-terminal read errors (which would otherwise repeat at once).
            if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) &&
                m_port.isOpen()) {
                m_failure = describe(m_port.errorString());
                const QByteArray held = m_port.readAll();
                m_heldAtFailure.assign(held.constData(), static_cast<std::size_t>(held.size()));
                m_port.close();
            }
        });
}

void QtSerialPort::open(int portNumber, const LineSettings& settings) {
    if (portNumber < 1 || portNumber > kLastPortNumber)
        throw PortOpenError(PortProblem::NoSuchPort, std::string(kInvalidPortNumber));
    const std::string device = m_deviceForPort(portNumber);
    if (const auto fault = m_deviceProblem ? m_deviceProblem(device) : std::nullopt)
        throw PortOpenError(fault->problem, device + ": " + fault->text);
    m_port.setPortName(QString::fromLocal8Bit(device.c_str()));
    if (!m_port.open(QIODevice::ReadWrite)) {
        const DeviceFault fault = openFailure(m_port);
        m_port.clearError();
        throw PortOpenError(fault.problem, device + ": " + fault.text);
    }
    const bool configured =
        m_port.setBaudRate(settings.baudRate) &&
        m_port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) &&
        m_port.setParity(toParity(settings.parity)) &&
        m_port.setStopBits(toStopBits(settings.stopBits));
    if (!configured) {
        const std::string reason = "not a serial device (" + describe(m_port.errorString()) + ")";
        m_port.close();
        m_port.clearError();
        throw PortOpenError(PortProblem::NotSerial, device + ": " + reason);
    }
    m_port.clear(QSerialPort::Input);
    m_failure.reset();
    m_heldAtFailure.clear();
}

void QtSerialPort::close() {
    m_port.close();
}

bool QtSerialPort::isOpen() const {
    return m_port.isOpen();
}

std::size_t QtSerialPort::bytesWaiting() {
    return m_port.isOpen() ? static_cast<std::size_t>(m_port.bytesAvailable()) : 0;
}

std::string QtSerialPort::readAll() {
    if (!m_port.isOpen())
        return std::exchange(m_heldAtFailure, {});
    const QByteArray bytes = m_port.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool QtSerialPort::write(std::string_view bytes) {
    if (!m_port.isOpen())
        return false;
    const qint64 written = m_port.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return written == static_cast<qint64>(bytes.size()) && m_port.flush();
}

std::optional<std::string> QtSerialPort::takeFailure() {
    auto failure = std::move(m_failure);
    m_failure.reset();
    return failure;
}

std::vector<SerialDevice> QtSerialPort::systemDevices() const {
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        QStringList known;
        for (const QString& part : {port.description(), port.manufacturer(), port.serialNumber()})
            if (!part.isEmpty())
                known << part;
        const std::string path = describe(port.systemLocation());
        devices.push_back({known.isEmpty()
                               ? path
                               : path + "  (" + describe(known.join(QStringLiteral(", "))) + ")",
                           path});
    }
    // The stable names of USB adapters, which survive a replug into another socket.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/serial/by-id", error))
        devices.push_back({entry.path().string(), entry.path().string()});
    return devices;
}

} // namespace lumetra
