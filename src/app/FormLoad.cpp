// Start-up, launcher mode and the exit command of the main window.
#include <fstream>
#include <system_error>

#include "app/Startup.h"
#include "app/frmKorvex.h"
#include "config/SettingKeys.h"
#include "platform/HttpClient.h"
#include "platform/OperatorUi.h"
#include "platform/ProcessLauncher.h"
#include "platform/SerialPort.h"
#include "resources/Resources.h"
#include "text/FilePath.h"

namespace korvex {

bool frmKorvex::Form_Load() {
    OperatorUi& ui = services_.ui;
    DebugLog("Starting " + program_.fileName + " ver. " + std::to_string(program_.versionMajor) +
             "." + std::to_string(program_.versionMinor) + "." +
             std::to_string(program_.versionRevision) + " in " + fromFsPath(program_.folder));
    if (hasSwitch("/ANTICRASH")) {
        LauncherMode();
        return false;
    }
    // The main window itself is never shown; its only presence is the tray icon.
    ui.addTrayIcon();
    ui.doEvents();
    std::error_code ignored;
    std::filesystem::current_path(program_.folder, ignored);

    CheckForINI();
    if (!ReadConfig() || ended_) return false;
    ui.doEvents();

    // Restricted-list age warning; nothing here stops start-up.
    if (!profile_.AccountListPath.empty()) {
        const auto list = restrictedListForAgeCheck(program_.folder, profile_.AccountListPath);
        const auto modified = list ? fileModifiedLocal(*list) : std::nullopt;
        if (restrictedListTooOld(modified, services_.clock.now())) {
            ui.messageBox(listAgeWarningText(), programTitle(), MsgIcon::Exclamation);
        }
    }

    // The restricted-account page must answer, or the program does not run.
    if (!profile_.LimitedAccountURL.empty()) {
        const HttpResult page =
            services_.http.get(profile_.LimitedAccountURL, global_.URLConnectionTimeout);
        if (page.page.empty()) {
            if (!page.ok)
                DebugLog("Error #" + std::to_string(page.errorNumber) + " - " +
                         page.errorDescription);
            ui.messageBox(pageUnreachableText(), programTitle(), MsgIcon::Stop);
            DoEnd(true);
            return false;
        }
    }

    if (!hasSwitch("/NOCHK") && !global_.Nonus) {
        if (!CheckIsMagtek(false) || ended_) return false;
    }
    if (hasSwitch("/NOCHK")) switchDebugFeedModeOn();
    if (!global_.Nonus) SendTrackCommand();
    run_.PendingBackImageFile.clear();

    if (!LoadBranchTable()) {
        ui.messageBox(branchFileMissingText(), programErrorTitle(), MsgIcon::Exclamation);
    }
    if (!profile_.ImageFileNameTemplate.empty()) SendImageSwitch();

    // Whatever the reader sent before now is not a document of this run.
    if (services_.serial.isOpen()) services_.serial.input();
    services_.processes.SetProcessPriority(128);
    ui.setPollingTimerEnabled(true);
    return true;
}

void frmKorvex::LauncherMode() {
    const auto script = program_.folder / "Korvex.watchtemp";
    const bool windowsHost =
        services_.processes.watchdogHost() == ProcessLauncher::WatchdogHost::WindowsScriptHost;
    {
        const std::string_view text =
            windowsHost ? resources::watchdogVbScript() : resources::watchdogShellScript();
        std::ofstream out(script, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }

    cInifile ini;
    ini.setPath(program_.folder / "Korvex.ini");
    ini.setSection("Config");
    ini.setKey("SplashScreenTime");
    ini.setDefault("750");
    const auto splash = convertSplashScreenTime(ini.Value());
    services_.ui.showSplash(splash.value_or(750), true);

    const auto executable =
        program_.executable.empty() ? program_.folder / program_.fileName : program_.executable;
    services_.processes.startWatchdog(script, executable, program_.folder / "Korvex.shutdown");
    ended_ = true;
    services_.ui.endProcess(0);
}

void frmKorvex::mnuExit_Click() {
    if (services_.ui.messageBox(exitQuestionText(), exitQuestionTitle(), MsgIcon::Question,
                                MsgButtons::YesNo) != MsgResult::Yes) {
        return;
    }
    if (services_.serial.isOpen()) services_.serial.close();
    DoEnd(true);
}

}  // namespace korvex
