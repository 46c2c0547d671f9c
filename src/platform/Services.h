#pragma once
// The platform services the core works through. The shell (or a test) owns them and hands the
// core this bundle of non-owning pointers; a service the run does not have may be null only where
// its user says so.

#include <filesystem>
#include <string>

namespace korvex {

class Clock;
class DebugSink;
class OperatorUi;
class SerialPort;
class HttpClient;
class ProcessLauncher;
class KeyboardLayout;
class KeyInjector;
class WindowActivator;
class Clipboard;

struct Services {
    Clock* clock = nullptr;
    DebugSink* debug = nullptr;
    OperatorUi* ui = nullptr;
    SerialPort* serial = nullptr;
    HttpClient* http = nullptr;
    ProcessLauncher* processes = nullptr;
    KeyboardLayout* keyboardLayout = nullptr;
    KeyInjector* keys = nullptr;
    WindowActivator* windows = nullptr;
    Clipboard* clipboard = nullptr;
};

// What the program knows about itself.
struct ProgramInfo {
    std::filesystem::path folder;      // the folder of the running executable
    std::string fileName = "Korvex";   // program file name without extension
    std::filesystem::path executable;  // full path of the program file
    std::string commandLine;           // the whole command line after the program name
    int versionMajor = 1, versionMinor = 0, versionRevision = 0;
};

}  // namespace korvex
