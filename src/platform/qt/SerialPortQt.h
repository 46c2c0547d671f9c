#pragma once
// The serial port on QSerialPort.
//
// The core reads by polling and sleeps between polls without running the event loop, so this
// port does not wait for Qt's notifications: every read first takes whatever the device has in
// store, and every write is pushed out before output() returns.
//
// Failure numbers follow the serial control the configuration was written for: 8002 no such
// port, 8005 port already in use or not accessible, 8010 the device failed or went away, 8012 the
// port is not open, 8015 the settings could not be applied, 8018 operation needs an open port,
// 380 a handshaking code that is not one. The same numbers are CommEvent codes for failures
// reported while the port is open.

#include <QSerialPort>
#include <functional>

#include "platform/SerialPort.h"

namespace korvex {

class SerialPortQt : public SerialPort {
public:
    SerialPortQt();
    ~SerialPortQt() override;

    bool setCommPort(int16_t number) override;
    int16_t commPort() const override { return commPort_; }
    void setPortName(const std::string& name) override { portName_ = name; }
    bool setSettings(const LineSettings& settings) override;
    LineSettings settings() const override { return line_; }
    bool setHandshaking(int16_t code) override;
    bool setRTSEnable(bool on) override;

    bool open() override;
    bool close() override;
    // A port whose device failed or went away (a read, write or resource error) is not open any
    // more, though its handle stays held until close() or the next open() releases it.
    bool isOpen() const override { return port_.isOpen() && !gone_; }

    bool setInputMode(InputMode mode) override {
        mode_ = mode;
        return true;
    }
    InputMode inputMode() const override { return mode_; }

    std::string input(std::size_t maxBytes = 0) override;
    std::size_t inBufferCount() override;
    bool output(const std::string& text) override;

    SerialError lastError() const override { return error_; }
    void setCommEventHandler(std::function<void(int)> handler) override {
        handler_ = std::move(handler);
    }

    // The device open() uses with the present CommPort and PortName.
    std::string deviceName() const;

private:
    bool applyLineSettings();
    void pullAvailable();
    bool fail(int number, const std::string& description);
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    int16_t commPort_ = 1;
    std::string portName_;
    LineSettings line_;
    int16_t handshaking_ = 0;
    bool rts_ = false;
    InputMode mode_ = InputMode::Text;
    SerialError error_;
    std::function<void(int)> handler_;
    bool gone_ = false;     // the device failed or went away while the port was open
    bool polling_ = false;  // our own zero-time waits report time-outs that are not events
    bool quiet_ = false;    // failures of calls whose result we check ourselves, or ignore
};

// The failure number of a QSerialPort error (0 for none).
int serialErrorNumber(QSerialPort::SerialPortError error);

}  // namespace korvex
