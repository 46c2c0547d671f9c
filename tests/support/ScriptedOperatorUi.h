#pragma once
// An OperatorUi that records what the core shows and answers from queues the test fills.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/OperatorUi.h"

namespace korvex::test {

class ScriptedOperatorUi : public OperatorUi {
public:
    struct MessageBoxCall {
        std::string text, title;
        MsgIcon icon;
        MsgButtons buttons;
    };
    struct InputBoxCall {
        std::string prompt, title, defaultText;
    };
    struct IconCall {
        uint8_t red, green, blue;
        int fontSize;
        uint8_t textRed, textGreen, textBlue;
        int32_t profileNumber;
    };

    // --- answers ---
    std::deque<MsgResult> messageBoxAnswers;  // when empty: Ok, or Yes for a Yes/No box
    std::deque<std::string> inputBoxAnswers;  // when empty: "" (cancelled)
    std::deque<DebugWindowResult> debugWindowAnswers;
    // The two cheque dialogs' answers (when empty: cancelled) and what they were shown.
    std::deque<ChequeDialogResult> chequeDataAnswers, chequeFullAnswers;
    std::vector<ChequeDialogInput> chequeDataShown, chequeFullShown;

    // --- records ---
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<InputBoxCall> inputBoxes;
    std::vector<bool> timerChanges;
    std::vector<std::pair<int, bool>> splashes;  // display time, modal
    std::vector<std::string> tooltips;
    std::vector<IconCall> icons;
    std::map<int32_t, std::string> profileMenu;  // item number -> caption
    std::map<int32_t, bool> profileMenuChecked;
    bool timerEnabled = false, noProfilesItemVisible = true, renameCsvEnabled = false;
    bool trayIconRemoved = false, detailsExists = false;
    int doEventsCalls = 0, trayIconsAdded = 0, detailsShows = 0, debugWindowShows = 0;
    std::vector<std::string> detailsProfiles;
    int32_t detailsSelected = -1;
    std::string readerData, lastDataSent;
    // The transfer window: names shown, progress drawn (fraction, text), closes.
    std::vector<std::string> fileXferShown;
    std::vector<std::pair<double, std::string>> fileXferProgressDrawn;
    int fileXferCloses = 0;
    // Runs on every doEvents(), e.g. to let the reader "send" while the core waits.
    std::function<void()> onDoEvents;
    // Runs while a cheque dialog is open, as the dialog's own event loop would (timer ticks).
    std::function<void()> onChequeDialog;
    std::vector<int> endedWith;

    MsgResult messageBox(const std::string& text, const std::string& title, MsgIcon icon,
                         MsgButtons buttons) override {
        messageBoxes.push_back({text, title, icon, buttons});
        return pop(messageBoxAnswers,
                   buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok);
    }
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override {
        inputBoxes.push_back({prompt, title, defaultText});
        return pop(inputBoxAnswers);
    }
    void doEvents() override {
        ++doEventsCalls;
        if (onDoEvents) onDoEvents();
    }
    void setPollingTimerEnabled(bool enabled) override {
        timerEnabled = enabled;
        timerChanges.push_back(enabled);
    }
    bool pollingTimerEnabled() const override { return timerEnabled; }
    void showSplash(int displayMs, bool modal) override { splashes.emplace_back(displayMs, modal); }
    bool addTrayIcon() override {
        ++trayIconsAdded;
        return true;
    }
    void setTrayTooltip(const std::string& tooltip64) override { tooltips.push_back(tooltip64); }
    void changeIcon(uint8_t red, uint8_t green, uint8_t blue, int fontSize, uint8_t textRed,
                    uint8_t textGreen, uint8_t textBlue, int32_t profileNumber) override {
        icons.push_back({red, green, blue, fontSize, textRed, textGreen, textBlue, profileNumber});
    }
    void addProfileMenuItem(int32_t number, const std::string& caption) override {
        profileMenu[number] = caption;
        profileMenuChecked[number] = false;
    }
    bool setProfileMenuChecked(int32_t number, bool checked) override {
        if (profileMenu.count(number) == 0) return false;
        profileMenuChecked[number] = checked;
        return true;
    }
    void setNoProfilesItemVisible(bool visible) override { noProfilesItemVisible = visible; }
    void setRenameCsvEnabled(bool enabled) override { renameCsvEnabled = enabled; }
    void removeTrayIcon() override { trayIconRemoved = true; }
    bool detailsWindowExists() const override { return detailsExists; }
    void detailsClearProfiles() override { detailsProfiles.clear(); }
    void detailsAddProfile(const std::string& name) override { detailsProfiles.push_back(name); }
    bool detailsSelectProfile(int32_t index) override {
        if (index < 0 || index >= static_cast<int32_t>(detailsProfiles.size())) return false;
        detailsSelected = index;
        return true;
    }
    std::string detailsReaderData() const override { return readerData; }
    void detailsSetReaderData(const std::string& text) override { readerData = text; }
    void detailsSetLastDataSent(const std::string& text) override { lastDataSent = text; }
    void detailsShow() override {
        detailsExists = true;
        ++detailsShows;
    }
    ChequeDialogResult showChequeData(const ChequeDialogInput& input) override {
        return dialog(input, chequeDataShown, chequeDataAnswers);
    }
    ChequeDialogResult showChequeFull(const ChequeDialogInput& input) override {
        return dialog(input, chequeFullShown, chequeFullAnswers);
    }
    ChequeDialogResult dialog(const ChequeDialogInput& input, std::vector<ChequeDialogInput>& shown,
                              std::deque<ChequeDialogResult>& answers) {
        shown.push_back(input);
        if (onChequeDialog) onChequeDialog();
        return pop(answers);
    }
    // The next queued answer, or `fallback` when none is left.
    template <typename T>
    static T pop(std::deque<T>& answers, T fallback = {}) {
        if (answers.empty()) return fallback;
        T r = answers.front();
        answers.pop_front();
        return r;
    }
    void fileXferShow(const std::string& fileName) override { fileXferShown.push_back(fileName); }
    void fileXferProgress(double fraction, const std::string& percentText) override {
        fileXferProgressDrawn.emplace_back(fraction, percentText);
    }
    void fileXferClose() override { ++fileXferCloses; }
    DebugWindowResult showManualDebug() override {
        ++debugWindowShows;
        return pop(debugWindowAnswers, DebugWindowResult{"Combo1", "Combo1", "Combo1"});
    }
    void endProcess(int exitCode) override { endedWith.push_back(exitCode); }

    // The checked profile menu items, for assertions.
    std::vector<int32_t> checkedItems() const {
        std::vector<int32_t> out;
        for (const auto& [n, checked] : profileMenuChecked) {
            if (checked) out.push_back(n);
        }
        return out;
    }
};

}  // namespace korvex::test
