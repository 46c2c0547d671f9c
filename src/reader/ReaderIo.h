#pragma once
// What the reader routines work with: the port, time, the operator's windows, the diagnostics
// log and the settings that shape every exchange. The main window builds one for each call; the
// routines keep no reference to it afterwards.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

namespace korvex {

class SerialPort;
class Clock;
class OperatorUi;

struct ReaderIo {
    SerialPort& port;
    Clock& clock;
    OperatorUi& ui;
    // DebugLog of the main window (date and time are added there).
    std::function<void(const std::string&)> log;
    // TerminationString: ends every reader message and reply and follows every command.
    std::string terminator;
    // Relative file names (images, the netpbm folder) are taken from here.
    std::filesystem::path programFolder;
    // Orderly shutdown with unloading (DoEnd(true)); called after a fatal message was shown.
    std::function<void()> endProgram;
    // True once the program is ending (the operator chose Exit while a routine gave the event
    // loop a turn): long waits stop there and nothing half-received is saved. Empty: never.
    std::function<bool()> ended = {};
};

// The details window keeps this many characters of what the reader sent.
inline constexpr std::size_t kReaderDataLimit = 1024;

// Appends text to the details window's ReaderData when that window exists, keeping the last
// kReaderDataLimit characters (older text is dropped from the front); the caret goes to the end.
void echoReaderData(OperatorUi& ui, const std::string& text);

// The last `limit` characters of a + b, without building a + b when b alone is long.
std::string lastCharacters(const std::string& a, const std::string& b, std::size_t limit);

}  // namespace korvex
