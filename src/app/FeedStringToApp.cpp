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

bool activate(const Services& services, const std::string& title) {
    return services.windows != nullptr && services.windows->appActivate(title);
}

}  // namespace

FeedOutcome frmKorvex::FeedStringToApp(const std::string& text) {
    const ProfileSettings& p = profile_;
    if (p.ActivateWindow && !activate(services_, p.ActivateWindowTitle) &&
        !p.WhenActivateWindowFails) {
        // The operator is not told, so the log must say where the text went.
        const std::string reason = services_.windows != nullptr ? services_.windows->lastFailure()
                                                                : std::string("no window service");
        DebugLog("Text dropped: window \"" + p.ActivateWindowTitle + "\" not activated: " + reason);
        return FeedOutcome::Discarded;
    }

    FeedOutcome outcome = FeedOutcome::Sent;
    bool viaSendInput = false;
    bool sendInputResult = false;
    if (p.ClipboardWin98DOS) {
        if (sendKeys_.VbSendPaste(text)) {
            sendKeys_.PasteIntoForeground();
        } else {
            // Pasting now would put whatever the clipboard held before into the target.
            DebugLog("Error #521 - Can't open Clipboard");
            outcome = FeedOutcome::Failed;
        }
    } else if (p.WaitMode) {
        sendKeys_.SendKeysWait(text);
    } else {
        // No reader input is handled while a key engine runs, even when it yields.
        services_.ui->setPollingTimerEnabled(false);
        if (p.KeyPressDelay < 1 && !p.UseOldSendKeys) {
            viaSendInput = true;
            sendInputResult = sendKeys_.VbSendInput(text);
        } else {
            sendKeys_.VbSendKeys(text, p.KeyPressDelay, p.DoEventsOnDelay);
        }
        if (!ended_) services_.ui->setPollingTimerEnabled(true);  // Exit came during a yield
    }

    if (p.ActivateWindowAfter) {
        services_.ui->doEvents();
        activate(services_, p.ActivateWindowTitle);  // a failure here changes nothing
    }
    if (outcome == FeedOutcome::Failed) return outcome;

    LastSentText = readableCopy(text, services_.clock->now());
    if (services_.ui->detailsWindowExists()) {
        std::string shown = LastSentText;
        if (viaSendInput) {
            shown += "\r\n***SendInput returned: ";
            shown += sendInputResult ? "True" : "False";
        }
        services_.ui->detailsSetLastDataSent(shown);
    }
    return outcome;
}

}  // namespace korvex
