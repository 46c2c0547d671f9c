// frmKorvex::ParseAndFeedCheque: one cheque line from recognition to the log, the keys and the
// images.
//
// A cheque that needs the operator (unread characters, a failed verification, or the full
// details with LetUserFillDetails 2) first goes through a dialog; the operator's OK hands back a
// completed line that runs through the whole pipeline again. That second pass is a turn of the
// loop below rather than a nested call, so an operator who keeps answering cannot deepen the
// stack.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "accounts/RestrictedAccounts.h"
#include "app/frmKorvex.h"
#include "interpret/ChequeRecord.h"
#include "interpret/ChequeVerification.h"
#include "interpret/FieldRules.h"
#include "interpret/MicrRecognition.h"
#include "interpret/PipelineFailure.h"
#include "output/ChequeLog.h"
#include "output/FileName.h"
#include "output/Template.h"
#include "platform/Clock.h"
#include "platform/OperatorUi.h"
#include "platform/ProcessLauncher.h"
#include "text/Cp1255.h"
#include "text/FilePath.h"
#include "ui/ChequeDialogs.h"

namespace korvex {
namespace {

// The preview of the cheque being processed, fetched for the full-details dialog, and its form
// converted for display. The polling tick removes both before each batch of messages.
constexpr const char* kPreviewImage = "netpbm\\tmpimage.tif";
constexpr const char* kPreviewImageGif = "netpbm\\tmpimage.gif";
constexpr const char* kPreviewScript = "netpbm\\tif2gif";
// A picture conversion takes a second or two; one still running after this has hung, and the
// cheque goes on without its preview rather than freezing the program.
constexpr std::chrono::seconds kPreviewTimeLimit{30};

// One run of the pipeline over a line, as the reader sent it or as a dialog completed it.
struct ChequePass {
    std::string line;
    bool skipVerifyPrompt = false;
    std::string amount;
    std::string chequeDate;
};

bool hasQuestionMark(const std::string& text) { return text.find('?') != std::string::npos; }

// What the operator is told about a cheque line that could not be read and that no dialog lets
// them complete.
std::string unreadableChequeText() {
    return cp1255::fromUtf8("הצ'ק לא נקרא, נא להעביר אותו שוב בקורא");
}
std::string unreadableChequeTitle() { return cp1255::fromUtf8("קורא צ'קים"); }

class ChequePipeline {
public:
    ChequePipeline(frmKorvex& form, RunState& run)
        : form_(form), run_(run), ui_(form.services().ui), clock_(form.services().clock) {}

    void run(ChequePass pass) {
        for (;;) {
            if (form_.ended()) return;
            std::optional<ChequePass> next;
            runPipeline([&] { next = runPass(pass); }, [this] { restoreProfile(); },
                        [this](const std::string& line) { form_.DebugLog(line); });
            if (!next) return;
            pass = std::move(*next);
        }
    }

private:
    // One pass. Returns the completed line when a dialog was confirmed (the cheque then runs
    // again from the start); nullopt when the cheque is finished, cancelled or dropped.
    std::optional<ChequePass> runPass(const ChequePass& pass) {
        const bool nonus = form_.global().Nonus;
        const MicrGroups groups = ExtractMicrGroups(pass.line, nonus, ui_);
        if (form_.ended()) return std::nullopt;  // the debug window's Exit
        if (!groups.diagnostic.empty()) form_.DebugLog(groups.diagnostic);
        if (groups.outcome == MicrOutcome::Dropped) return std::nullopt;
        // A line the positional split refused is still a cheque in the operator's hands: it goes
        // to the dialog with what could be read, as an unread cheque would.
        const bool uncut = groups.outcome == MicrOutcome::Failed && groups.partlyRead;
        if (groups.outcome == MicrOutcome::Failed && !uncut) {
            throw PipelineAbort(groups.failure.number, groups.failure.description);
        }
        if (uncut) {
            form_.DebugLog(pipelineErrorLine(groups.failure.number, groups.failure.description));
        }

        const int32_t verifyResult =
            form_.VerifyCheque(groups.group2, groups.group3, groups.group4);
        const bool unread =
            uncut || hasQuestionMark(groups.group4 + groups.group3 + groups.group2 + groups.group1);
        const ProfileSettings& p = form_.profile();

        if (p.LetUserFillDetails == 2 && !pass.skipVerifyPrompt &&
            (unread || pass.chequeDate.empty())) {
            return askFullDetails(groups, verifyResult);
        }
        // Any value but 0 holds back partly read cheques, so any such value lets the operator
        // complete them.
        if (p.LetUserFillDetails > 0 && !pass.skipVerifyPrompt && p.DontPassPartialRead != 0 &&
            (unread || verifyResult != kChequeValid)) {
            return askManualEntry(groups, verifyResult);
        }
        if (uncut) {
            // No dialog applies: the groups cannot be trusted to log or type.
            ui_.messageBox(unreadableChequeText(), unreadableChequeTitle(), MsgIcon::Exclamation,
                           MsgButtons::Ok);
            return std::nullopt;
        }
        process(pass, groups, verifyResult);
        return std::nullopt;
    }

    ChequeDialogInput dialogInput(const MicrGroups& groups, int32_t verifyResult) const {
        ChequeDialogInput input;
        input.ChequeNum = groups.group1;
        input.BankNum = groups.group2;
        input.BranchNum = groups.group3;
        input.AccountNum = groups.group4;
        if (verifyResult != kChequeValid) input.verifyCaption = verifyCodeCaption(verifyResult);
        input.TabChar = form_.profile().TabChar;
        return input;
    }

    std::optional<ChequePass> completedLine(const ChequeDialogResult& result,
                                            bool withDetails) const {
        if (result.Cancelled || form_.ended()) return std::nullopt;
        ChequePass next;
        next.line = form_.global().Nonus ? result.NonusLine : result.MagtekLine;
        next.skipVerifyPrompt = result.VerifyCodeTicked;
        if (withDetails) {
            next.amount = result.AmountText;
            next.chequeDate = result.DateText;
        }
        return next;
    }

    std::optional<ChequePass> askFullDetails(const MicrGroups& groups, int32_t verifyResult) {
        ChequeDialogInput input = dialogInput(groups, verifyResult);
        const std::filesystem::path& folder = form_.program().folder;
        // The reader still holds the cheque's image: fetch it quietly and convert it for display.
        std::string preview = kPreviewImage;
        form_.ReceiveImage(preview, true);
        if (form_.ended()) return std::nullopt;
        const LaunchResult converted = form_.services().processes.runScript(
            kPreviewScript, {kPreviewImage, kPreviewImageGif}, kPreviewTimeLimit);
        if (!converted.started) {
            form_.DebugLog("Cannot start " + std::string(kPreviewScript) + ": " + converted.error);
        } else if (converted.timedOut) {
            form_.DebugLog(std::string(kPreviewScript) + " did not end within " +
                           std::to_string(kPreviewTimeLimit.count()) +
                           " seconds and was stopped: no preview for this cheque");
            // Whatever the stopped conversion wrote is no picture to show.
            std::error_code ignored;
            std::filesystem::remove(resolveIn(folder, kPreviewImageGif), ignored);
        }
        // A missing picture leaves the dialog without one; that is the dialog's concern.
        input.imageFile = resolveIn(folder, kPreviewImageGif);
        return completedLine(ui_.showChequeFull(input), true);
    }

    std::optional<ChequePass> askManualEntry(const MicrGroups& groups, int32_t verifyResult) {
        return completedLine(ui_.showChequeData(dialogInput(groups, verifyResult)), false);
    }

    // The cheque is complete (or the profile passes it as it is): log, keys, images.
    void process(const ChequePass& pass, const MicrGroups& groups, int32_t verifyResult) {
        const std::filesystem::path& folder = form_.program().folder;

        // A profile named for the cheque's bank takes over for this cheque only.
        rememberedProfile_ = run_.CurrentProfile;
        const int32_t bankProfile = form_.FindProfile("Bank" + groups.group2);
        if (bankProfile > 0) {
            bankProfileLoaded_ = true;
            form_.LoadProfile(bankProfile);
        }
        const ProfileSettings& p = form_.profile();

        ChequeRecord cheque;
        groups.fill(cheque);
        cheque.Amount = pass.amount;
        cheque.ChequeDate = pass.chequeDate;
        cheque.SkipVerifyPrompt = pass.skipVerifyPrompt;
        cheque.VerifyResult = verifyResult;
        cheque.Restricted = checkRestricted(groups, p);

        std::optional<LocalDateTime> chequeDate;
        if (!pass.chequeDate.empty()) {
            chequeDate = ParseChequeDate(pass.chequeDate);
            if (!chequeDate) {
                throw PipelineAbort(kErrorInvalidChequeDate,
                                    invalidChequeDateDescription(pass.chequeDate));
            }
        }
        const std::string logBegun =
            BeginChequeLogLine(groups.group1, groups.group2, groups.group3, groups.group4,
                               clock_.now(), pass.amount, chequeDate);

        if (const auto failure = ApplyChequeFieldRules(cheque, p)) {
            throw PipelineAbort(failure->number, failure->description);
        }
        TemplateFields fields;
        fields.ChequeNum = cheque.ChequeNum;
        fields.BankNum = cheque.BankNum;
        fields.BranchNum = cheque.BranchNum;
        fields.BranchCode = cheque.BranchCode;
        fields.AccountNum = cheque.AccountNum;
        fields.Amount = cheque.Amount;
        if (p.LetUserFillDetails > 1) fields.ChequeDate = chequeDate;
        UserFileName user = UserFileName::through(ui_);

        const std::string& frontTemplate =
            cheque.Restricted ? p.LimitedImageFileNameTemplate : p.ImageFileNameTemplate;
        if (!frontTemplate.empty()) {
            run_.FrontScanTime = clock_.now();
            cheque.ImageFileName = ExpandTemplate(TemplateKind::FrontImage, frontTemplate, fields,
                                                  run_.FrontScanTime, &user);
        }

        if (const auto failure = AppendChequeLog(
                folder, p.CSVFile, FinishChequeLogLine(logBegun, cheque.ImageFileName))) {
            throw PipelineAbort(failure->number, failure->description);
        }

        fields.FileName = cheque.ImageFileName;
        const std::string keyText =
            ExpandTemplate(TemplateKind::Cheque, p.ChequeTemplate, fields, clock_.now(), nullptr);

        const bool partial = hasQuestionMark(cheque.AccountNum + cheque.BranchNum + cheque.BankNum +
                                             cheque.ChequeNum);
        const bool passOn = p.DontPassPartialRead == 0 || !partial;
        const bool suppressed = cheque.Restricted && !p.SendChequeIfLimited;
        const bool feed = passOn && !suppressed;
        const bool imageFirst = p.ImageBeforeSendKeys;

        // Exit chosen while the keys or the image gave the event loop a turn ends the cheque
        // there: the port is closed and the target is no longer ours to type into.
        if (feed && !imageFirst) form_.FeedStringToApp(keyText);
        if (form_.ended()) return;
        if (!cheque.ImageFileName.empty()) saveImages(cheque, fields, user);
        if (form_.ended()) return;
        if (feed && imageFirst) form_.FeedStringToApp(keyText);

        restoreProfile();
    }

    bool checkRestricted(const MicrGroups& groups, const ProfileSettings& p) {
        return CheckRestrictedAccount(
            groups.group4, groups.group3, groups.group2, form_.program().folder, p.AccountListPath,
            p.LimitedAccountURL, form_.global().URLConnectionTimeout, form_.services().http, ui_,
            [this](const std::string& line) { form_.DebugLog(line); });
    }

    // The front image under its name, and the name the back side will be saved under.
    void saveImages(ChequeRecord& cheque, TemplateFields& fields, UserFileName& user) {
        const ProfileSettings& p = form_.profile();
        std::string& name = cheque.ImageFileName;
        if (!IsDontSaveName(name)) {
            const std::filesystem::path& folder = form_.program().folder;
            std::error_code missing;
            if (std::filesystem::exists(resolveIn(folder, kPreviewImage), missing)) {
                // The image was fetched for the dialog already; the reader is not asked twice.
                // The name is made one the disk can hold, as an image fetched directly would be.
                for (char& c : name) {
                    if (c == '?') c = '#';
                }
                const std::string folderPart = FolderPart(name);
                if (!folderPart.empty()) MakeDirectoryPath(folder, folderPart);
                std::error_code copyError;
                std::filesystem::copy_file(
                    resolveIn(folder, kPreviewImage), resolveIn(folder, name),
                    std::filesystem::copy_options::overwrite_existing, copyError);
                if (copyError) {
                    throw PipelineAbort(kErrImageCopyFailed,
                                        "Cannot copy " + std::string(kPreviewImage) + " to " +
                                            name + ": " + copyError.message());
                }
            } else {
                form_.ReceiveImage(name, false);
                if (form_.ended()) return;
            }
            run_.FrontImageFile = name;
        }
        // The key tested is the ordinary back template even for a restricted account.
        if (!p.BackImageFileNameTemplate.empty() && p.ChequeBackTimeout != 0) {
            const std::string& backTemplate = cheque.Restricted ? p.LimitedBackImageFileNameTemplate
                                                                : p.BackImageFileNameTemplate;
            fields.FileName = name;
            run_.PendingBackImageFile = ExpandTemplate(TemplateKind::BackImage, backTemplate,
                                                       fields, run_.FrontScanTime, &user);
        }
    }

    void restoreProfile() {
        if (!bankProfileLoaded_) return;
        bankProfileLoaded_ = false;
        // Profile 0 is no profile: there is nothing to go back to.
        if (rememberedProfile_ > 0 && !form_.ended()) form_.LoadProfile(rememberedProfile_);
    }

    frmKorvex& form_;
    RunState& run_;
    OperatorUi& ui_;
    Clock& clock_;
    int32_t rememberedProfile_ = 0;
    bool bankProfileLoaded_ = false;
};

}  // namespace

void frmKorvex::ParseAndFeedCheque(const std::string& line, bool alreadySeen,
                                   const std::string& amountText, const std::string& dateText) {
    // Whatever the last cheque was waiting for ends with the arrival of this one, however this
    // one ends: its back side must not be taken for this cheque's, nor merged into its front.
    run_.PendingBackImageFile.clear();
    run_.FrontImageFile.clear();
    ChequePipeline pipeline(*this, run_);
    pipeline.run(ChequePass{line, alreadySeen, amountText, dateText});
}

}  // namespace korvex
