#include "app/ShellHooks.h"

#include "app/ShowDetails.h"
#include "app/frmKorvex.h"
#include "interpret/MicrRecognition.h"

namespace korvex {

ui::TrayHooks trayHooksFor(frmKorvex& form, OperatorUi& ui) {
    ui::TrayHooks hooks;
    hooks.renameCsv = [&form] { form.RenameCSV_Click(); };
    hooks.showDetails = [&form, &ui] {
        ShowDetails(ui, form.global(), form.runState().CurrentProfile, form.lastSentText());
    };
    hooks.loadProfile = [&form](int32_t number) { form.LoadProfile(number); };
    hooks.exit = [&form] { form.mnuExit_Click(); };
    hooks.log = [&form](const std::string& line) { form.DebugLog(line); };
    return hooks;
}

ui::DetailsHooks detailsHooksFor(frmKorvex& form) {
    ui::DetailsHooks hooks;
    hooks.classify = [&form](const std::string& text) {
        return static_cast<int>(
            ClassifyInput(text, form.global().Nonus, form.profile().MinUnreadCharsForNoMICR));
    };
    hooks.processCheque = [&form](const std::string& text) { form.ParseAndFeedCheque(text); };
    hooks.processMagStripe = [&form](const std::string& text) { form.ParseAndFeedMagStripe(text); };
    hooks.profileChosen = [&form](int32_t number) { form.NewProfileChosen(number); };
    return hooks;
}

}  // namespace korvex
