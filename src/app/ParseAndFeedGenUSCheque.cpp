// frmKorvex::ParseAndFeedGenUSCheque: a cheque line that is not an Israeli MICR line, typed and
// saved as one value, {MICR}. No verification, no restricted-account check, no log line.
#include <string>

#include "app/frmKorvex.h"
#include "interpret/PipelineFailure.h"
#include "output/FileName.h"
#include "output/Template.h"
#include "platform/Clock.h"
#include "platform/OperatorUi.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

bool hasQuestionMark(const std::string& text) { return text.find('?') != std::string::npos; }

std::string repairPrompt() { return cp1255::fromUtf8("חלק מהתווים לא נקראו, נא לתקן"); }
std::string repairTitle() { return cp1255::fromUtf8("קורא צ'קים"); }

}  // namespace

void frmKorvex::ParseAndFeedGenUSCheque(const std::string& message) {
    // This cheque ends whatever the last one was waiting for, as in the cheque pipeline.
    run_.PendingBackImageFile.clear();
    run_.FrontImageFile.clear();
    runPipeline(
        [&] {
            OperatorUi& ui = services_.ui;
            Clock& clock = services_.clock;
            const ProfileSettings& p = profile_;
            UserFileName user = UserFileName::through(ui);

            // The front name is built from the line as it came, before any repair.
            TemplateFields fields;
            fields.MICR = message;
            std::string frontName;
            if (!p.GenUSFileNameTemplate.empty()) {
                run_.FrontScanTime = clock.now();
                frontName = ExpandTemplate(TemplateKind::GenUSFileName, p.GenUSFileNameTemplate,
                                           fields, run_.FrontScanTime, &user);
            }

            std::string line = message;
            bool repairCancelled = false;
            while (p.LetUserFillDetails > 0 && hasQuestionMark(line)) {
                line = ui.inputBox(repairPrompt(), repairTitle(), line);
                if (ended_) return;
                if (line.empty()) repairCancelled = true;
            }

            fields.MICR = line;
            fields.FileName = frontName;
            const std::string keyText =
                ExpandTemplate(TemplateKind::GenUS, p.GenUSTemplate, fields, clock.now(), nullptr);

            // An operator who cancels the repair declines the cheque: typing an empty line into
            // the target would enter a cheque nobody read.
            const bool passOn =
                !repairCancelled && (p.DontPassPartialRead == 0 || !hasQuestionMark(line));
            if (repairCancelled)
                DebugLog("Unparsed cheque not sent: the repair was cancelled: " + message);
            const bool imageFirst = p.ImageBeforeSendKeys;

            // Exit chosen during the keys or the transfer ends the cheque there.
            if (passOn && !imageFirst) FeedStringToApp(keyText);
            if (ended_) return;
            if (!frontName.empty()) {
                if (!IsDontSaveName(frontName)) {
                    ReceiveImage(frontName, false);
                    if (ended_) return;
                    run_.FrontImageFile = frontName;
                }
                if (!p.GenUSBackFileNameTemplate.empty() && p.ChequeBackTimeout != 0) {
                    // The back carries the repaired line; a cancelled repair leaves the line read.
                    TemplateFields back;
                    back.MICR = repairCancelled ? message : line;
                    run_.PendingBackImageFile =
                        ExpandTemplate(TemplateKind::GenUSBackFileName, p.GenUSBackFileNameTemplate,
                                       back, run_.FrontScanTime, &user);
                }
            }
            if (passOn && imageFirst) FeedStringToApp(keyText);
        },
        [] {}, [this](const std::string& line) { DebugLog(line); });
}

}  // namespace korvex
