#include "reader/ReaderSetup.h"

#include <algorithm>
#include <exception>

#include "platform/OperatorUi.h"
#include "platform/SerialPort.h"
#include "reader/InputAssembler.h"
#include "reader/ReadResponse.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

constexpr int32_t kPollMs = 10;
constexpr int32_t kReplyTimeoutMs = 1500;

// Sends a command and reads its reply; false when the port refused the write.
bool exchange(ReaderIo& io, const std::string& command, std::string& reply) {
    if (!io.port.output(command + io.terminator)) return false;
    reply = ReadResponse(io, kPollMs, kReplyTimeoutMs, kReplyTimeoutMs);
    return true;
}

bool identifyOnce(ReaderIo& io) {
    std::string reply;
    if (!exchange(io, "bla", reply)) return false;
    if (!exchange(io, "VR", reply) || reply.compare(0, 8, "Version ") != 0) return false;
    for (const char* name : {"SWA", "SWB", "SWC", "HW"}) {
        if (!exchange(io, name, reply) || !registerReplyPasses(name, reply, io.terminator)) {
            return false;
        }
    }
    if (!exchange(io, "FC 00 00", reply)) return false;
    return exchange(io, "FC", reply);
}

}  // namespace

bool registerReplyPasses(const std::string& name, const std::string& reply,
                         const std::string& terminator) {
    std::string seen = reply;
    if (name == "HW") seen.erase(std::remove(seen.begin(), seen.end(), ' '), seen.end());
    std::replace(seen.begin(), seen.end(), '0', '1');
    return seen == name + "=11111111" + terminator;
}

LineSettings otherRateSettings(const LineSettings& settings) {
    LineSettings other = settings;
    if (settings.baud == 9600) other.baud = 115200;
    if (settings.baud == 115200) other.baud = 9600;
    return other;
}

std::string trackCommand(const std::string& msrTracks) {
    std::string mask = "00000000";
    if (msrTracks.find('1') != std::string::npos) mask[3] = '1';
    if (msrTracks.find('2') != std::string::npos) mask[4] = '1';
    if (msrTracks.find('3') != std::string::npos) mask[5] = '1';
    return "HW" + mask;
}

bool SendTrackCommand(ReaderIo& io, const std::string& msrTracks) {
    return io.port.output(trackCommand(msrTracks) + io.terminator);
}

bool SendImageSwitch(ReaderIo& io) {
    return io.port.output(std::string(kImageSwitchCommand) + io.terminator);
}

std::string identificationFailureTitle() { return cp1255::fromUtf8("שגיאה בזיהוי הקורא"); }

std::string identificationFailureText() {
    return cp1255::fromUtf8(
        "הקורא המחובר למערכת אינו קורא מקורי של Magtek, אינו מהדגם המתאים או שאינו תקין. אנא צור "
        "קשר עם Ovra בטלפון 03-5550123.");
}

bool CheckIsMagtek(ReaderIo& io, bool retry) {
    bool identified = false;
    try {
        identified = io.port.isOpen() && identifyOnce(io);
    } catch (const std::exception&) {
        identified = false;
    }
    if (identified) return true;

    if (!retry) {
        io.port.close();
        io.port.setSettings(otherRateSettings(io.port.settings()));
        if (io.port.open()) return CheckIsMagtek(io, true);
        // Reporting a port that will not open as a wrong reader would send the operator the
        // wrong way: say what the port said.
        const SerialError error = io.port.lastError();
        io.ui.setPollingTimerEnabled(false);
        io.ui.messageBox(portReopenFailureText(error.number, error.source, error.description),
                         portReopenFailureTitle(), MsgIcon::Stop, MsgButtons::Ok);
        if (io.endProgram) io.endProgram();
        return false;
    }

    io.ui.setPollingTimerEnabled(false);
    io.ui.messageBox(identificationFailureText(), identificationFailureTitle(), MsgIcon::Stop,
                     MsgButtons::Ok);
    if (io.endProgram) io.endProgram();
    return false;
}

}  // namespace korvex
