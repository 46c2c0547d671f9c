// The Korvex program: a tray application around the main-window object frmKorvex.
#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/ProgramFolder.h"
#include "app/ShellHooks.h"
#include "app/frmKorvex.h"
#include "app/qt/PlatformServices.h"
#include "app/qt/TerminationSignal.h"
#include "platform/SerialPort.h"
#include "platform/x11/X11Connection.h"
#include "text/Cp1255.h"
#include "text/FilePath.h"
#include "ui/qt/QtOperatorUi.h"
#include "ui/qt/frmFileXfer.h"
#include "ui/qt/frmManuallDebug.h"
#include "ui/qt/frmSplash.h"

namespace {

// The exit status when the X display this program was started for does not answer. The embedded
// POSIX watchdog stops on it instead of restarting the program once a second for ever after the
// desktop session has ended.
constexpr int kExitDisplayGone = 69;

// Whether the display the toolkit is about to connect to answers. Checked before the toolkit
// starts because it aborts the process on a display it cannot open. Runs without X (another
// platform plugin, or no DISPLAY at all) are not this check's business.
bool displayAnswers() {
    const char* name = std::getenv("DISPLAY");
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool usesX =
        platform == nullptr || *platform == '\0' || std::string(platform).rfind("xcb", 0) == 0;
    if (name == nullptr || *name == '\0' || !usesX) return true;
    if (korvex::x11::X11Connection(name).ok()) return true;
    std::fprintf(stderr, "Korvex: cannot open the display %s\n", name);
    return false;
}

korvex::ProgramInfo programInfo(const QStringList& arguments) {
    korvex::ProgramInfo program;
    const QString executable = QCoreApplication::applicationFilePath();
    program.executable = std::filesystem::path(executable.toStdU16String());
    program.folder = std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String());
    program.fileName =
        korvex::cp1255::fromUtf8(QFileInfo(executable).completeBaseName().toStdString());
    program.commandLine = korvex::cp1255::fromUtf8(arguments.mid(1).join(' ').toStdString());
    program.versionMajor = KORVEX_VERSION_MAJOR;
    program.versionMinor = KORVEX_VERSION_MINOR;
    program.versionRevision = KORVEX_VERSION_PATCH;
    return program;
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything that takes time: a request to quit made while the program starts is held
    // for the orderly shutdown instead of killing it.
    korvex::holdTerminationRequests();
    if (!displayAnswers()) return kExitDisplayGone;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvex"));
    // The program lives in the tray: closing a window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    korvex::ProgramInfo program = programInfo(QCoreApplication::arguments());
    // Installed system-wide, the executable's folder is read-only: the user's data folder takes
    // its place, made from what the package installs beside the executable under share/korvex.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    const korvex::ProgramFolder folder = korvex::chooseProgramFolder(
        program.folder, korvex::userDataFolder(dataHome ? dataHome : "", home ? home : ""),
        program.folder.parent_path() / "share" / "korvex");
    program.folder = folder.folder;
    korvex::PlatformServices platform(program.folder);
    korvex::ui::QtOperatorUi ui;
    const korvex::Services services = platform.services(ui);
    korvex::frmKorvex form(services, program);

    services.serial.setCommEventHandler([&form](int code) { form.OnComm(code); });

    korvex::ui::QtOperatorUi::Hooks hooks;
    hooks.timerTick = [&form] { form.Timer1_Timer(); };
    hooks.tray = korvex::trayHooksFor(form, ui);
    hooks.details = korvex::detailsHooksFor(form);
    ui.setHooks(std::move(hooks));

    if (!platform.shortcomings().empty()) form.DebugLog(platform.shortcomings());
    if (!folder.error.empty()) form.DebugLog("Program folder: " + folder.error);
    // Asked to quit by the system: the orderly shutdown, so that a watchdog does not restart us.
    // A launcher that is asked to quit simply dies before it starts the watchdog.
    if (form.hasSwitch("/ANTICRASH")) {
        korvex::releaseTerminationRequests();
    } else {
        korvex::watchTerminationRequests(&app, [&form] { form.DoEnd(true); });
    }
    // A request handled inside start-up's event turns ends the run there; the main loop, which
    // was not running yet, must then not start.
    if (!form.Form_Load() || form.ended()) return 0;
    return QApplication::exec();
}
