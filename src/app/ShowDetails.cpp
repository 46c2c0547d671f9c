#include "app/ShowDetails.h"

#include "config/Settings.h"
#include "platform/OperatorUi.h"

namespace korvex {

void ShowDetails(OperatorUi& ui, const GlobalSettings& global, int32_t CurrentProfile,
                 const std::string& LastSentText) {
    // The list is emptied first, so opening the window again never duplicates the names.
    ui.detailsClearProfiles();
    const auto count = static_cast<std::size_t>(global.ProfileCount < 0 ? 0 : global.ProfileCount);
    for (std::size_t i = 0; i < count && i < global.ProfileNames.size(); ++i) {
        ui.detailsAddProfile(global.ProfileNames[i]);
    }
    // No profile loaded (0) selects nothing; the window keeps its placeholder.
    ui.detailsSelectProfile(CurrentProfile - 1);
    ui.detailsSetLastDataSent(LastSentText);
    ui.detailsShow();
}

}  // namespace korvex
