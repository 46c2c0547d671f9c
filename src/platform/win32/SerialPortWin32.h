#pragma once
// The serial port on the Win32 communications API.
//
// The core reads by polling from the user-interface thread, so reads never wait: the port runs
// with ReadIntervalTimeout = MAXDWORD, and every read takes whatever the driver holds into the
// port's own buffer. A write waits until the driver has taken the bytes, at most a few seconds.
//
// Failure numbers and CommEvent codes are those of SerialPortQt (8002 no such port, 8005 in use,
// 8010 the device failed or went away, 8012 not open, 8015 settings refused, 8018 needs an open
// port, 380 no such handshaking). Line errors the driver reports (break, framing, overrun,
// parity) reach the CommEvent handler with the serial control's event codes and change nothing
// else.

#include <functional>
#include <string>
#include <vector>

#include "platform/SerialPort.h"
#include "platform/win32/Win32Api.h"

namespace korvex {

class SerialPortWin32 : public SerialPort {
public:
    SerialPortWin32() = default;
    ~SerialPortWin32() override;
    SerialPortWin32(const SerialPortWin32&) = delete;
    SerialPortWin32& operator=(const SerialPortWin32&) = delete;

    bool setCommPort(int16_t number) override;
    int16_t commPort() const override { return commPort_; }
    void setPortName(const std::string& name) override { portName_ = name; }
    bool setSettings(const LineSettings& settings) override;
    LineSettings settings() const override { return line_; }
    bool setHandshaking(int16_t code) override;
    bool setRTSEnable(bool on) override;

    bool open() override;
    bool close() override;
    // A port whose device failed or went away is not open any more, though its handle stays
    // held (and what arrived before stays readable) until close() or the next open().
    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE && !gone_; }

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

    // The device open() uses with the present CommPort and PortName: "\\.\COMn", or PortName
    // (a bare device name such as "COM12" gets the "\\.\" prefix it needs above COM9).
    std::string deviceName() const;

private:
    bool applyLineSettings();
    // ClearCommError: reports line errors, and a failure as the device gone. False when gone.
    bool checkLine(COMSTAT* status);
    void pullAvailable();
    void deviceGone(unsigned long systemError);
    bool fail(int number, const std::string& description);

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    int16_t commPort_ = 1;
    std::string portName_;
    LineSettings line_;
    int16_t handshaking_ = 0;
    bool rts_ = false;
    InputMode mode_ = InputMode::Text;
    SerialError error_;
    std::function<void(int)> handler_;
    std::string received_;  // taken from the driver, not yet given to the caller
    bool gone_ = false;     // the device failed or went away while the port was open
};

// The CommEvent codes of the line errors in ClearCommError's error mask, in ascending order.
std::vector<int> lineErrorEvents(unsigned long errors);

}  // namespace korvex
