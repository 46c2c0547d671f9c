#pragma once
// The line settings text of the serial port ("9600,n,8,1") and the device a port number names.

#include <cstdint>
#include <optional>
#include <string>

namespace korvex {

struct LineSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    int32_t baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
};

// "baud,parity,data bits,stop bits": a positive baud rate, parity n, e, o, m or s (either case),
// 7 or 8 data bits, 1, 1.5 or 2 stop bits; blanks around each part are allowed. nullopt for any
// other text, with the reason in *why (Windows-1255 text) when why is not null.
std::optional<LineSettings> parseLineSettings(const std::string& text, std::string* why = nullptr);

// The device to open: `portName` when it is not empty; otherwise port n is COM<n> on Windows and
// /dev/ttyS<n-1> elsewhere. Empty when the number names no port (below 1).
std::string serialDeviceName(int16_t commPort, const std::string& portName, bool windows);

}  // namespace korvex
