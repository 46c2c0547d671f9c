#pragma once
// A main window on fakes in a temporary program folder, for the configuration tests.

#include <memory>
#include <string>

#include "app/frmKorvex.h"
#include "support/FakeClock.h"
#include "support/FakeSerialPort.h"
#include "support/RecordingDebugSink.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex::test {

struct ConfigHarness {
    TempFolder folder;
    ScriptedOperatorUi ui;
    FakeSerialPort port;
    FakeClock clock;
    RecordingDebugSink debug;
    std::unique_ptr<frmKorvex> form;

    explicit ConfigHarness(const std::string& commandLine = {}) {
        Services services;
        services.clock = &clock;
        services.debug = &debug;
        services.ui = &ui;
        services.serial = &port;
        ProgramInfo program;
        program.folder = folder.path();
        program.commandLine = commandLine;
        form = std::make_unique<frmKorvex>(services, program);
    }

    // Writes Korvex.ini from UTF-8 text (Hebrew included) as Windows-1255 bytes.
    void writeIni(const std::string& utf8) const { folder.write("Korvex.ini", cp1255::fromUtf8(utf8)); }

    // The start-up part that reads the configuration.
    bool start() {
        form->CheckForINI();
        return form->ReadConfig();
    }
    bool start(const std::string& utf8Ini) {
        writeIni(utf8Ini);
        return start();
    }

    GlobalSettings& global() { return form->global(); }
    ProfileSettings& profile() { return form->profile(); }
};

inline std::string cp(const std::string& utf8) { return cp1255::fromUtf8(utf8); }

}  // namespace korvex::test
