#pragma once
// The line settings text of the serial port ("9600,n,8,1"), read into the value the port takes.

#include <optional>
#include <string>

#include "platform/SerialLine.h"

namespace korvex {

// "baud,parity,data bits,stop bits": a positive baud rate, parity n, e, o, m or s (either case),
// 7 or 8 data bits, 1, 1.5 or 2 stop bits; blanks around each part are allowed. nullopt for any
// other text, with the reason in *why (Windows-1255 text) when why is not null.
std::optional<LineSettings> parseLineSettings(const std::string& text, std::string* why = nullptr);

}  // namespace korvex
