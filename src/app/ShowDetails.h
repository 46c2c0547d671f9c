#pragma once
// ShowDetails: opens the details window for the main window, filled with the profile list, the
// current profile selected and the last text sent. Called from the tray icon and its menu.

#include <cstdint>
#include <string>

namespace korvex {

class OperatorUi;
struct GlobalSettings;

void ShowDetails(OperatorUi& ui, const GlobalSettings& global, int32_t CurrentProfile,
                 const std::string& LastSentText);

}  // namespace korvex
