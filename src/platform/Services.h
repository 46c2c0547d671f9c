#pragma once
// The platform services the core works through. The shell (or a test) owns them and hands the
// core this bundle of references: every service is there for the whole run. Where a system cannot
// offer one (no desktop to type into, for example), the shell hands in an object that does nothing
// and reports every request as failed, so the core says so instead of checking for absence.

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

// What the key engines type through, a part of the whole bundle; the event loop's turn for the
// engines that yield comes from their caller.
struct KeyServices {
    Clock& clock;
    KeyboardLayout& keyboardLayout;
    KeyInjector& keys;
    WindowActivator& windows;
    Clipboard& clipboard;
};

struct Services {
    Clock& clock;
    DebugSink& debug;
    OperatorUi& ui;
    SerialPort& serial;
    HttpClient& http;
    ProcessLauncher& processes;
    KeyboardLayout& keyboardLayout;
    KeyInjector& keys;
    WindowActivator& windows;
    Clipboard& clipboard;

    KeyServices keyServices() const { return {clock, keyboardLayout, keys, windows, clipboard}; }
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
