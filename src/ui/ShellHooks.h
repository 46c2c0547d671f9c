#pragma once
// What the operator's windows ask of the main window. Both shells' tray and details window call
// these; each shell's main() wires them to frmKorvex. Texts are Windows-1255.

#include <cstdint>
#include <functional>
#include <string>

namespace korvex::ui {

struct TrayHooks {
    std::function<void()> renameCsv;              // RenameCSV_Click
    std::function<void()> showDetails;            // ShowDetails
    std::function<void(int32_t)> loadProfile;     // LoadProfile(n), also for the current profile
    std::function<void()> exit;                   // the exit command (question, then shutdown)
    std::function<void(const std::string&)> log;  // DebugLog
};

struct DetailsHooks {
    std::function<int(const std::string&)> classify;        // ClassifyInput with the Nonus setting
    std::function<void(const std::string&)> processCheque;  // ParseAndFeedCheque
    std::function<void(const std::string&)> processMagStripe;  // ParseAndFeedMagStripe
    std::function<void(int32_t)> profileChosen;                // NewProfileChosen(n), 1-based
};

}  // namespace korvex::ui
