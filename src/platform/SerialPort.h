#pragma once
// The serial line to the reader, with the properties and operations the system relies on.
//
// Text passes as 8-bit characters. Operations that can fail return false and leave the failure in
// lastError(); nothing throws.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/SerialLine.h"

namespace korvex {

struct SerialError {
    int number = 0;           // 0 = no failure
    std::string source;       // who reported it, e.g. "QSerialPort"
    std::string description;  // Windows-1255 text for the operator
};

class SerialPort {
public:
    enum class InputMode { Text = 0, Binary = 1 };

    virtual ~SerialPort() = default;

    // CommPort: 1 = the first serial port of the system.
    virtual bool setCommPort(int16_t number) = 0;
    virtual int16_t commPort() const = 0;
    // A device name that overrides the port number when not empty (e.g. /dev/ttyUSB0, COM12).
    virtual void setPortName(const std::string& name) = 0;
    // Settings: baud, parity, data bits and stop bits (the core reads them from a text such as
    // "9600,n,8,1"). On an open port they apply at once; returns false (with a description in
    // lastError) when the line refuses them, and the line keeps its previous settings.
    virtual bool setSettings(const LineSettings& settings) = 0;
    virtual LineSettings settings() const = 0;
    // Handshaking: 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both.
    virtual bool setHandshaking(int16_t code) = 0;
    virtual bool setRTSEnable(bool on) = 0;

    // PortOpen.
    virtual bool open() = 0;
    virtual bool close() = 0;
    virtual bool isOpen() const = 0;

    virtual bool setInputMode(InputMode mode) = 0;
    virtual InputMode inputMode() const = 0;

    // Input: returns and removes what is waiting, at most maxBytes when above 0. Never blocks.
    virtual std::string input(std::size_t maxBytes = 0) = 0;
    // InBufferCount: bytes waiting to be read.
    virtual std::size_t inBufferCount() = 0;
    // Output: sends the text.
    virtual bool output(const std::string& text) = 0;

    // The last failure of any operation above.
    virtual SerialError lastError() const = 0;

    // OnComm: called with CommEvent's code on serial events and errors.
    virtual void setCommEventHandler(std::function<void(int)> handler) = 0;
};

}  // namespace korvex
