// frmKorvex::FeedStringToApp: the one road by which data reaches the target application.
#include <string>

#include "app/frmKorvex.h"
#include "platform/Clock.h"
#include "platform/OperatorUi.h"
#include "platform/WindowActivator.h"

namespace korvex {
namespace {

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

// The readable copy for the details window: when, then the text with {ENTER} and {TAB} (exactly
// so written) turned into a line break and a tab; every other code stays as written.
std::string readableCopy(const std::string& text, const LocalDateTime& when) {
    std::string body = text;
    replaceAll(body, "{ENTER}", "\r\n");
    replaceAll(body, "{TAB}", "\t");
    return when.generalDateText() + ":\r\n\r\n" + body;
}

}  // namespace

FeedOutcome frmKorvex::FeedStringToApp(const std::string& text) {
    const ProfileSettings& p = profile_;
    if (p.ActivateWindow) {
        const PlatformResult activated = services_.windows.appActivate(p.ActivateWindowTitle);
        if (!activated && !p.WhenActivateWindowFails) {
            // The operator is not told, so the log must say where the text went.
            DebugLog("Text dropped: window \"" + p.ActivateWindowTitle +
                     "\" not activated: " + activated.describe());
            return FeedOutcome::Discarded;
        }
    }

    // A route that fails logs one line saying what failed, and the text counts as not sent.
    PlatformResult sent;
    std::string failureLine = "Text not sent: ";
    bool viaSendInput = false;
    if (p.ClipboardWin98DOS) {
        sent = sendKeys_.VbSendPaste(text);
        if (sent) {
            sent = sendKeys_.PasteIntoForeground();
        } else {
            // Pasting now would put whatever the clipboard held before into the target.
            failureLine = "Error #521 - Can't open Clipboard: ";
        }
    } else if (p.WaitMode) {
        sent = sendKeys_.SendKeysWait(text);
    } else {
        // No reader input is handled while a key engine runs, even when it yields.
        services_.ui.setPollingTimerEnabled(false);
        if (p.KeyPressDelay < 1 && !p.UseOldSendKeys) {
            viaSendInput = true;
            sent = sendKeys_.VbSendInput(text);
        } else {
            sent = sendKeys_.VbSendKeys(text, p.KeyPressDelay, p.DoEventsOnDelay);
        }
        if (!ended_) services_.ui.setPollingTimerEnabled(true);  // Exit came during a yield
    }
    if (!sent) DebugLog(failureLine + sent.describe());

    if (p.ActivateWindowAfter) {
        services_.ui.doEvents();
        services_.windows.appActivate(p.ActivateWindowTitle);  // a failure here changes nothing
    }
    if (!sent) return FeedOutcome::Failed;

    LastSentText = readableCopy(text, services_.clock.now());
    if (services_.ui.detailsWindowExists()) {
        std::string shown = LastSentText;
        if (viaSendInput) {
            shown += "\r\n***SendInput returned: ";
            shown += sent ? "True" : "False";
        }
        services_.ui.detailsSetLastDataSent(shown);
    }
    return FeedOutcome::Sent;
}

}  // namespace korvex
