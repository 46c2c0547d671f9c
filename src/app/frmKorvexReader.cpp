// The main window's reader routines that need no pipeline: they hand the window's port, clock,
// operator and settings to the reader functions.
#include "app/frmKorvex.h"
#include "output/Template.h"
#include "platform/Clock.h"
#include "platform/OperatorUi.h"
#include "platform/SerialPort.h"
#include "reader/DocumentImages.h"
#include "reader/ImageTransfer.h"
#include "reader/ReadResponse.h"
#include "reader/ReaderSetup.h"

namespace korvex {

ReaderIo frmKorvex::readerIo() {
    return ReaderIo{services_.serial,
                    services_.clock,
                    services_.ui,
                    [this](const std::string& message) { DebugLog(message); },
                    global_.TerminationString,
                    program_.folder,
                    [this] { DoEnd(true); },
                    [this] { return ended_; }};
}

void frmKorvex::OnComm(int CommEvent) {
    // A failing line can raise the same event on every poll; the log says it once.
    if (inputAssembler.commEventChanged(CommEvent)) {
        DebugLog("Comm event: " + std::to_string(CommEvent));
    }
}

std::string frmKorvex::ReadResponse(int32_t pollIntervalMs, int32_t firstCharTimeoutMs,
                                    int32_t totalTimeoutMs) {
    ReaderIo io = readerIo();
    return korvex::ReadResponse(io, pollIntervalMs, firstCharTimeoutMs, totalTimeoutMs);
}

bool frmKorvex::CheckIsMagtek(bool retry) {
    ReaderIo io = readerIo();
    return korvex::CheckIsMagtek(io, retry);
}

void frmKorvex::SendTrackCommand() {
    ReaderIo io = readerIo();
    korvex::SendTrackCommand(io, global_.MSRTracks);
}

void frmKorvex::SendImageSwitch() {
    ReaderIo io = readerIo();
    korvex::SendImageSwitch(io);
}

void frmKorvex::ReceiveImage(std::string& FileName, bool Quiet) {
    ReaderIo io = readerIo();
    korvex::ReceiveImage(io, FileName, Quiet);
}

void frmKorvex::GetDocumentImage() {
    ReaderIo io = readerIo();
    korvex::GetDocumentImage(
        io, ExpandDateCodes(profile_.ScanOverrideFileNameTemplate, services_.clock.now()));
}

}  // namespace korvex
