#include "platform/qt/SerialPortQt.h"

#include "text/Cp1255.h"

namespace korvex {
namespace {

constexpr int kWriteTimeoutMs = 5000;

}  // namespace

int serialErrorNumber(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::NoError: return 0;
        case QSerialPort::DeviceNotFoundError: return 8002;
        case QSerialPort::PermissionError:
        case QSerialPort::OpenError: return 8005;
        case QSerialPort::NotOpenError: return 8018;
        case QSerialPort::UnsupportedOperationError: return 8015;
        default: return 8010;  // read, write, resource (device removed), unknown, time-out
    }
}

SerialPortQt::SerialPortQt() {
    QObject::connect(&port_, &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

SerialPortQt::~SerialPortQt() {
    QObject::disconnect(&port_, nullptr, nullptr, nullptr);
    if (port_.isOpen()) port_.close();
}

void SerialPortQt::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError) return;
    if (quiet_ || (polling_ && error == QSerialPort::TimeoutError)) return;
    // Once the device is gone every further read fails the same way; the failure is reported
    // once and the port says it is closed, so that its user can close and open it again.
    if (gone_) return;
    std::string description = cp1255::fromUtf8(port_.errorString().toStdString());
    // A read or write that fails on an open port means the device failed or went away: a
    // terminal whose far end closed reads as end of file, which Qt reports as a read error
    // with whatever system error was left from before.
    if (port_.isOpen() && (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
                           error == QSerialPort::WriteError)) {
        gone_ = true;
        description = error == QSerialPort::ResourceError
                          ? "The device failed or went away: " + description
                          : "The device failed or went away";
    }
    error_ = {serialErrorNumber(error), "QSerialPort", description};
    if (handler_) handler_(error_.number);
}

bool SerialPortQt::fail(int number, const std::string& description) {
    error_ = {number, "QSerialPort", description};
    return false;
}

std::string SerialPortQt::deviceName() const {
    return serialDeviceName(commPort_, portName_, false);
}

bool SerialPortQt::setCommPort(int16_t number) {
    if (number < 1) return fail(8002, "Invalid port number " + std::to_string(number));
    if (port_.isOpen()) return fail(8005, "The port number cannot change while the port is open");
    commPort_ = number;
    return true;
}

bool SerialPortQt::setSettings(const LineSettings& settings) {
    const LineSettings previous = line_;
    line_ = settings;
    if (!port_.isOpen() || applyLineSettings()) return true;
    // The line keeps running as before; the failure stays in lastError.
    const SerialError refused = error_;
    line_ = previous;
    applyLineSettings();
    error_ = refused;
    return false;
}

bool SerialPortQt::setHandshaking(int16_t code) {
    if (code < 0 || code > 3) {
        return fail(380, "Handshaking " + std::to_string(code) + " is not 0, 1, 2 or 3");
    }
    handshaking_ = code;
    return !port_.isOpen() || applyLineSettings();
}

bool SerialPortQt::setRTSEnable(bool on) {
    rts_ = on;
    // RTS belongs to the flow control under hardware handshaking; a pseudo-terminal has none.
    if (port_.isOpen() && port_.flowControl() != QSerialPort::HardwareControl) {
        quiet_ = true;
        port_.setRequestToSend(on);
        port_.clearError();
        quiet_ = false;
    }
    return true;
}

bool SerialPortQt::applyLineSettings() {
    // Each refused setter reports through errorOccurred; the one failure reported is ours.
    quiet_ = true;
    bool ok = port_.setBaudRate(line_.baud);
    switch (line_.parity) {
        case LineSettings::Parity::None: ok = port_.setParity(QSerialPort::NoParity) && ok; break;
        case LineSettings::Parity::Even: ok = port_.setParity(QSerialPort::EvenParity) && ok; break;
        case LineSettings::Parity::Odd: ok = port_.setParity(QSerialPort::OddParity) && ok; break;
        case LineSettings::Parity::Mark: ok = port_.setParity(QSerialPort::MarkParity) && ok; break;
        case LineSettings::Parity::Space:
            ok = port_.setParity(QSerialPort::SpaceParity) && ok;
            break;
    }
    ok = port_.setDataBits(line_.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8) && ok;
    switch (line_.stopBits) {
        case LineSettings::StopBits::One: ok = port_.setStopBits(QSerialPort::OneStop) && ok; break;
        case LineSettings::StopBits::OneAndHalf:
            ok = port_.setStopBits(QSerialPort::OneAndHalfStop) && ok;
            break;
        case LineSettings::StopBits::Two: ok = port_.setStopBits(QSerialPort::TwoStop) && ok; break;
    }
    // Qt has one flow control: both kinds together run as hardware handshaking.
    const QSerialPort::FlowControl flow = handshaking_ == 1   ? QSerialPort::SoftwareControl
                                          : handshaking_ >= 2 ? QSerialPort::HardwareControl
                                                              : QSerialPort::NoFlowControl;
    ok = port_.setFlowControl(flow) && ok;
    quiet_ = false;
    if (!ok) {
        const std::string description = cp1255::fromUtf8(port_.errorString().toStdString());
        port_.clearError();
        return fail(
            8015, "Settings " + lineSettingsText(line_) + " could not be applied: " + description);
    }
    return true;
}

bool SerialPortQt::open() {
    if (gone_) close();
    if (port_.isOpen()) return fail(8005, "The port is already open");
    const std::string device = deviceName();
    if (device.empty()) return fail(8002, "Invalid port number " + std::to_string(commPort_));
    port_.setPortName(QString::fromStdString(cp1255::toUtf8(device)));
    if (!port_.open(QIODevice::ReadWrite)) {
        const int number = serialErrorNumber(port_.error());
        const std::string description =
            device + ": " + cp1255::fromUtf8(port_.errorString().toStdString());
        port_.clearError();
        return fail(number == 0 ? 8010 : number, description);
    }
    if (!applyLineSettings()) {
        const SerialError kept = error_;
        port_.close();
        error_ = kept;
        return false;
    }
    // DTR and RTS are lines a pseudo-terminal does not have; there the calls fail harmlessly
    // ("Inappropriate ioctl for device") and their error must not stick to the port.
    quiet_ = true;
    port_.setDataTerminalReady(true);
    if (port_.flowControl() != QSerialPort::HardwareControl) port_.setRequestToSend(rts_);
    port_.clearError();
    quiet_ = false;
    error_ = {};
    return true;
}

bool SerialPortQt::close() {
    if (!port_.isOpen()) return fail(8012, "The port is not open");
    // A port whose device went away still holds the old device: closing releases it.
    quiet_ = true;
    port_.close();
    port_.clearError();
    quiet_ = false;
    gone_ = false;
    return true;
}

void SerialPortQt::pullAvailable() {
    if (!isOpen()) return;
    polling_ = true;
    // Each ready read takes all the device holds; a few rounds catch bytes that arrive meanwhile.
    for (int round = 0; round < 8 && port_.waitForReadyRead(0); ++round) {
    }
    polling_ = false;
    if (port_.error() == QSerialPort::TimeoutError) port_.clearError();
}

std::string SerialPortQt::input(std::size_t maxBytes) {
    if (!port_.isOpen()) {
        fail(8018, "Operation valid only when the port is open");
        return {};
    }
    // What arrived before the device went away is still given; the failure stays in lastError.
    pullAvailable();
    const QByteArray bytes =
        maxBytes == 0 ? port_.readAll() : port_.read(static_cast<qint64>(maxBytes));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::size_t SerialPortQt::inBufferCount() {
    if (!isOpen()) return 0;
    pullAvailable();
    return static_cast<std::size_t>(port_.bytesAvailable());
}

bool SerialPortQt::output(const std::string& text) {
    if (gone_) return false;  // lastError keeps why
    if (!port_.isOpen()) return fail(8018, "Operation valid only when the port is open");
    if (text.empty()) return true;
    if (port_.write(text.data(), static_cast<qint64>(text.size())) !=
        static_cast<qint64>(text.size())) {
        return fail(8010, cp1255::fromUtf8(port_.errorString().toStdString()));
    }
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(kWriteTimeoutMs)) {
            return fail(8010, "Writing to the port timed out");
        }
    }
    return true;
}

}  // namespace korvex
