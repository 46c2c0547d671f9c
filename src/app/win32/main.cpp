// The Korvex program for Windows: a tray application around the main-window object frmKorvex,
// on plain Win32.
#include <string>

#include "app/ShellHooks.h"
#include "app/frmKorvex.h"
#include "app/win32/Win32Services.h"
#include "platform/SerialPort.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Text.h"
#include "ui/win32/Win32OperatorUi.h"

namespace {

std::filesystem::path executablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path);
        }
        path.resize(path.size() * 2);
    }
}

// The command line after the program's name, as the system passed it.
std::wstring argumentsOf(const wchar_t* commandLine) {
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p != L'\0' && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p != L'\0' && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

korvex::ProgramInfo programInfo() {
    korvex::ProgramInfo program;
    program.executable = executablePath();
    program.folder = program.executable.parent_path();
    program.fileName = korvex::win32::narrow(program.executable.stem().wstring());
    program.commandLine = korvex::win32::narrow(argumentsOf(::GetCommandLineW()));
    program.versionMajor = KORVEX_VERSION_MAJOR;
    program.versionMinor = KORVEX_VERSION_MINOR;
    program.versionRevision = KORVEX_VERSION_PATCH;
    return program;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const korvex::ProgramInfo program = programInfo();
    korvex::Win32Services platform(program.folder);
    korvex::win32ui::Win32OperatorUi ui;
    const korvex::Services services = platform.services(ui);
    korvex::frmKorvex form(services, program);

    services.serial.setCommEventHandler([&form](int code) { form.OnComm(code); });

    korvex::win32ui::Win32OperatorUi::Hooks hooks;
    hooks.timerTick = [&form] { form.Timer1_Timer(); };
    hooks.tray = korvex::trayHooksFor(form, ui);
    hooks.details = korvex::detailsHooksFor(form);
    // Logging off, shutting down or being asked to close: the orderly shutdown (semaphore file,
    // port closed, tray icon removed), so that a watchdog does not take it for a crash. A
    // launcher that is asked to quit simply dies before it starts the watchdog.
    if (!form.hasSwitch("/ANTICRASH")) hooks.sessionEnding = [&form] { form.DoEnd(true); };
    ui.setHooks(std::move(hooks));

    // A request handled inside start-up's event turns ends the run there; the main loop, which
    // was not running yet, must then not start.
    if (!form.Form_Load() || form.ended()) return 0;
    return ui.run();
}
