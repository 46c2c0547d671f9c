// frmKorvex: loading a profile and choosing one.
#include <string>

#include "app/frmKorvex.h"
#include "config/SettingKeys.h"
#include "platform/OperatorUi.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

// The tray tooltip field: the text, a NUL, blanks up to 64 characters; a longer text is cut.
std::string tooltipField(const std::string& text) {
    constexpr std::size_t kField = 64;
    std::string field = text;
    field.push_back('\0');
    field.resize(kField, ' ');
    return field;
}

}  // namespace

void frmKorvex::LoadProfile(int32_t ProfileNum) {
    const bool validNumber =
        ProfileNum >= 1 && static_cast<std::size_t>(ProfileNum) <= global_.ProfileNames.size();
    // An invalid number leaves the section as it was ("Config" at start-up), so the profile keys
    // then come from there.
    if (validNumber) {
        configIni_.setSection(global_.ProfileNames[static_cast<std::size_t>(ProfileNum - 1)]);
    }

    ProfileTarget target{profile_, icon_, global_};
    for (const ProfileKey& key : profileKeys()) {
        configIni_.setKey(key.name);
        configIni_.setDefault(key.defaultText);
        // A value that does not convert is skipped: the field keeps its previous value.
        (void)key.apply(configIni_.Value(), target);
    }
    // The back image then waits in the program folder to be joined to the front image.
    if (profile_.CombineChequeImages) profile_.BackImageFileNameTemplate = "netpbm\\tmp-back.jpg";

    OperatorUi& ui = services_.ui;
    ui.setRenameCsvEnabled(!profile_.CSVRenTemplate.empty());
    const std::string prefix = cp1255::fromUtf8("קורא צ'קים וכרטיסים - פרופיל נוכחי: ");
    ui.setTrayTooltip(tooltipField(
        validNumber ? prefix + global_.ProfileNames[static_cast<std::size_t>(ProfileNum - 1)]
                    : prefix + cp1255::fromUtf8("<הגדרות ברירת מחדל>")));
    ui.setProfileMenuChecked(run_.CurrentProfile, false);
    ui.setProfileMenuChecked(ProfileNum, true);
    // CurrentProfile is set before the details window's selection moves, so that its selection
    // handler sees the profile as current and does not load it again.
    run_.CurrentProfile = ProfileNum;
    if (ui.detailsWindowExists() && ProfileNum >= 1) ui.detailsSelectProfile(ProfileNum - 1);
    ui.changeIcon(profile_.Red, profile_.Green, profile_.Blue, icon_.IconFontSize, icon_.TextRed,
                  icon_.TextGreen, icon_.TextBlue, run_.CurrentProfile);
}

int32_t frmKorvex::FindProfile(const std::string& ProfileName) const {
    for (std::size_t i = 0; i < global_.ProfileNames.size(); ++i) {
        if (global_.ProfileNames[i] == ProfileName) return static_cast<int32_t>(i + 1);
    }
    return 0;
}

void frmKorvex::NewProfileChosen(int32_t NewProfileNum) {
    if (NewProfileNum != run_.CurrentProfile) LoadProfile(NewProfileNum);
}

}  // namespace korvex
