// frmKorvex::Timer1_Timer and frmKorvex::GetBacksideImage: the polling tick wired to the
// classification and the pipelines of this window.
#include "app/frmKorvex.h"
#include "interpret/MicrRecognition.h"
#include "platform/OperatorUi.h"
#include "reader/DocumentImages.h"
#include "reader/InputAssembler.h"
#include "reader/MessageDispatch.h"

namespace korvex {
namespace {

// Where the tick sends each complete message: the classification with this run's reader
// dialect and the current profile's threshold, then the window's pipeline for the class.
class WindowDispatch : public MessageDispatch {
public:
    explicit WindowDispatch(frmKorvex& form) : form_(form) {}

    int classify(const std::string& message) override {
        // Read at each message: a bank profile loaded for one cheque is gone again by the next.
        return static_cast<int>(
            ClassifyInput(message, form_.global().Nonus, form_.profile().MinUnreadCharsForNoMICR));
    }
    void cheque(const std::string& line) override { form_.ParseAndFeedCheque(line, false, {}, {}); }
    void magStripe(const std::string& message) override { form_.ParseAndFeedMagStripe(message); }
    void genUSCheque(const std::string& message) override {
        form_.ParseAndFeedGenUSCheque(message);
    }
    void backsideImage() override { form_.GetBacksideImage(); }
    void documentImage() override { form_.GetDocumentImage(); }
    bool ended() const override { return form_.ended(); }

private:
    frmKorvex& form_;
};

}  // namespace

void frmKorvex::Timer1_Timer() {
    if (ended_) return;
    ReaderIo io = readerIo();
    TickSettings settings;
    settings.debugFeedMode = DebugFeedMode;
    settings.scanOverride = !profile_.ScanOverrideFileNameTemplate.empty();
    WindowDispatch dispatch(*this);
    inputAssembler.tick(io, InputBuffer, settings, dispatch);
}

void frmKorvex::GetBacksideImage() {
    ReaderIo io = readerIo();
    // A document without ink that is not an awaited back side is a cheque whose magnetic line
    // the reader could not read: the operator types it.
    const auto unreadableCheque = [this] {
        ChequeDialogInput input;
        input.TabChar = profile_.TabChar;
        const ChequeDialogResult result = services_.ui.showChequeData(input);
        if (result.Cancelled || ended_) return;
        ParseAndFeedCheque(global_.Nonus ? result.NonusLine : result.MagtekLine, false, {}, {});
    };
    korvex::GetBacksideImage(io, run_, profile_, services_.processes, unreadableCheque);
}

}  // namespace korvex
