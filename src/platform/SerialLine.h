#pragma once
// What a serial port is handed: the line's settings as a value (the core reads them from the
// settings text) and the device a port number names.

#include <cstdint>
#include <string>

namespace korvex {

struct LineSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    int32_t baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    bool operator==(const LineSettings&) const = default;
};

// The settings as the configuration writes them, e.g. "9600,n,8,1", for messages.
std::string lineSettingsText(const LineSettings& settings);

// The device to open: `portName` when it is not empty; otherwise port n is COM<n> on Windows and
// /dev/ttyS<n-1> elsewhere. Empty when the number names no port (below 1).
std::string serialDeviceName(int16_t commPort, const std::string& portName, bool windows);

}  // namespace korvex
