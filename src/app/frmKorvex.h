#pragma once
// The hidden main window frmKorvex: the state of the run and the routines that act on it.
//
// The Qt shell owns one object of this class, forwards the timer tick, tray and menu events to it
// and implements OperatorUi. Every routine runs on the one user-interface thread.

#include <cstdint>
#include <memory>
#include <string>

#include "config/Settings.h"
#include "config/cInifile.h"
#include "interpret/BranchTable.h"
#include "output/SendKeys.h"
#include "platform/Services.h"
#include "reader/InputAssembler.h"

namespace korvex {

class frmKorvex {
public:
    frmKorvex(Services services, ProgramInfo program);
    ~frmKorvex();
    frmKorvex(const frmKorvex&) = delete;
    frmKorvex& operator=(const frmKorvex&) = delete;

    // --- start-up ----------------------------------------------------------------------------
    // Loading the main window: the whole start-up sequence. Returns false when the run ended
    // inside it (launcher mode, port failure, page check, identification).
    bool Form_Load();
    // "/ANTICRASH": writes the watchdog, shows the splash modally, starts the watchdog.
    void LauncherMode();
    // The tray menu's exit command: the question, then the orderly shutdown.
    void mnuExit_Click();

    // --- diagnostics and shutdown -----------------------------------------------------------
    void DebugLog(const std::string& message);
    // Orderly shutdown: leaves "Korvex.shutdown", unloads the main window when asked, and ends
    // the process through OperatorUi (a test's fake returns, so callers return right after).
    void DoEnd(bool unloadMainWindow = false);
    // The main window's unload handler: tray icon removed, port closed, DoEnd.
    void Form_Unload();
    // True once DoEnd has run; routines stop when they see it.
    bool ended() const { return ended_; }

    // --- configuration and profiles ---------------------------------------------------------
    void CheckForINI();
    // Returns false when the run ended inside (port failure or a bad [Config] value).
    bool ReadConfig();
    void LoadProfile(int32_t ProfileNum);
    int32_t FindProfile(const std::string& ProfileName) const;
    void NewProfileChosen(int32_t NewProfileNum);

    // --- cheque log --------------------------------------------------------------------------
    // The tray menu's log reset: archive the CSV log under CSVRenTemplate.
    void RenameCSV_Click();

    // --- output to the target application ---------------------------------------------------
    // Types a text in the key notation into the target by the profile's route.
    FeedOutcome FeedStringToApp(const std::string& text);
    // The key engines with their key tables (filled on first use, kept for the run).
    modSendKeys& SendKeys() { return sendKeys_; }

    // --- reader link --------------------------------------------------------------------------
    // The 100 ms polling tick.
    void Timer1_Timer();
    // OnComm: logs "Comm event: " and the code, once while the same event repeats.
    void OnComm(int CommEvent);
    std::string ReadResponse(int32_t pollIntervalMs, int32_t firstCharTimeoutMs,
                             int32_t totalTimeoutMs);
    void GetDocumentImage();
    void GetBacksideImage();
    // Reader identification at start-up; false when the run ended inside.
    bool CheckIsMagtek(bool retry = false);
    // Start-up's set-up commands: the track mask from MSRTracks, and the image switch.
    void SendTrackCommand();
    void SendImageSwitch();
    // Fetches the reader's image into FileName; every "?" there becomes "#", also for the caller.
    void ReceiveImage(std::string& FileName, bool Quiet);
    // The reader routines' view of this window: its port, clock, operator and settings.
    ReaderIo readerIo();

    // --- the three pipelines --------------------------------------------------------------------
    void ParseAndFeedCheque(const std::string& line, bool alreadySeen = false,
                            const std::string& amountText = {}, const std::string& dateText = {});
    void ParseAndFeedMagStripe(const std::string& message);
    void ParseAndFeedGenUSCheque(const std::string& message);

    // --- cheque verification ------------------------------------------------------------------
    // Loads "banks_branches.txt" from the program folder into branchTable; false (and an empty
    // table, so every cheque then verifies as 555) when it is missing or malformed.
    bool LoadBranchTable();
    // The verification code of the raw bank, branch and account groups, on branchTable with the
    // profile's IgnoreVerify.
    int32_t VerifyCheque(const std::string& bank, const std::string& branch,
                         const std::string& account) const;

    // --- state ---------------------------------------------------------------------------------
    const GlobalSettings& global() const { return global_; }
    const ProfileSettings& profile() const { return profile_; }
    const RunState& runState() const { return run_; }
    // Tests set settings directly instead of writing and reading Korvex.ini for each key.
    void setGlobalForTesting(const GlobalSettings& global) { global_ = global; }
    void setProfileForTesting(const ProfileSettings& profile) { profile_ = profile; }
    const IconAppearance& iconAppearance() const { return icon_; }
    const cInifile& ConfigIni() const { return configIni_; }
    const Services& services() const { return services_; }
    const ProgramInfo& program() const { return program_; }
    // The command line in upper case, searched for the switches.
    bool hasSwitch(const std::string& upperCaseSwitch) const;

    // Reader text not yet dispatched; only the polling tick changes it.
    const std::string& inputBuffer() const { return InputBuffer; }
    bool debugFeedMode() const { return DebugFeedMode; }
    // What "/NOCHK" does at start-up: every tick then takes a cheque from the debug window.
    void switchDebugFeedModeOn() { DebugFeedMode = true; }
    // The readable copy of the last text fed to the target, for the details window.
    const std::string& lastSentText() const { return LastSentText; }

private:
    void buildProfileList(const std::string& defaultProfileName);

    Services services_;
    ProgramInfo program_;
    GlobalSettings global_;
    ProfileSettings profile_;
    RunState run_;
    IconAppearance icon_;
    cInifile configIni_;
    bool ended_ = false;
    std::string InputBuffer;
    bool DebugFeedMode = false;
    // The polling tick's own state (re-entrancy guard, overflow note, the last serial event).
    InputAssembler inputAssembler;
    std::string LastSentText;
    BranchTable branchTable;
    modSendKeys sendKeys_;
};

}  // namespace korvex
