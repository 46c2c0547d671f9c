#include "reader/InputAssembler.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "platform/OperatorUi.h"
#include "platform/SerialPort.h"
#include "text/Cp1255.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

// Clears a flag when the scope ends, however it ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

// The previous cheque's preview images; a missing file is the usual case and not a failure.
void deletePreviewImages(const std::filesystem::path& folder) {
    for (const char* name : {"netpbm\\tmpimage.tif", "netpbm\\tmpimage.gif"}) {
        std::error_code ignored;
        std::filesystem::remove(resolveIn(folder, name), ignored);
    }
}

// A postal-bank line goes to the cheque pipeline up to and including its last "C".
std::string upToLastC(const std::string& message) {
    const std::size_t c = message.rfind('C');
    return c == std::string::npos ? std::string() : message.substr(0, c + 1);
}

}  // namespace

bool endsWithTerminator(const std::string& buffer, const std::string& terminator) {
    return buffer.size() >= terminator.size() &&
           buffer.compare(buffer.size() - terminator.size(), terminator.size(), terminator) == 0;
}

std::vector<std::string> cutMessages(const std::string& buffer, const std::string& terminator) {
    std::vector<std::string> out;
    if (!endsWithTerminator(buffer, terminator)) return out;
    const std::string rest = buffer.substr(0, buffer.size() - terminator.size());
    if (rest.empty()) return out;
    if (terminator.empty()) {
        out.push_back(rest);
        return out;
    }
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = rest.find(terminator, from);
        if (at == std::string::npos) {
            out.push_back(rest.substr(from));
            return out;
        }
        out.push_back(rest.substr(from, at - from));
        from = at + terminator.size();
    }
}

std::string portReopenFailureTitle() { return cp1255::fromUtf8("שגיאת תקשורת"); }

std::string portReopenFailureText(int number, const std::string& source,
                                  const std::string& description) {
    return cp1255::fromUtf8("לא ניתן לפתוח מחדש את יציאת התקשורת.") + "\r\n\r\n" +
           cp1255::fromUtf8("מספר שגיאה: ") + std::to_string(number) +
           cp1255::fromUtf8(", מקור השגיאה: ") + source + cp1255::fromUtf8(", תיאור השגיאה: ") +
           description;
}

void InputAssembler::tick(ReaderIo& io, std::string& inputBuffer, const TickSettings& settings,
                          MessageDispatch& dispatch) {
    if (running_) return;
    FlagScope guard(running_);
    stage_ = Stage::Reading;
    messages_.clear();
    dispatched_ = 0;
    try {
        // A closed port cannot be read: that is the failure the recovery path exists for.
        if (!io.port.isOpen()) {
            recover(io, inputBuffer);
            return;
        }
        const std::string input = io.port.input();
        inputBuffer += input;
        if (!input.empty()) echoReaderData(io.ui, input);
        // A read that finds the device failed or gone leaves the port closed: the read failed,
        // and the recovery path runs now, keeping what arrived before the failure.
        if (!io.port.isOpen()) {
            recover(io, inputBuffer);
            return;
        }

        if (settings.debugFeedMode) dispatch.cheque("DEBUG");

        if (inputBuffer.empty()) return;
        if (!endsWithTerminator(inputBuffer, io.terminator)) {
            if (inputBuffer.size() > kBufferLimit) {
                const std::size_t dropped = inputBuffer.size() - kBufferLimit;
                inputBuffer.erase(0, dropped);
                if (!overflowLogged_) {
                    io.log("Input without a terminator passed " + std::to_string(kBufferLimit) +
                           " characters; older input is being dropped");
                    overflowLogged_ = true;
                }
            }
            // Only what this tick brought: the earlier part was logged by earlier ticks.
            if (!input.empty()) {
                io.log("Received partial input, buffering & awaiting more:\r\n" +
                       (input.size() > kBufferLimit ? input.substr(input.size() - kBufferLimit)
                                                    : input));
            }
            return;
        }

        messages_ = cutMessages(inputBuffer, io.terminator);
        stage_ = Stage::Dispatching;
        dispatchAll(io, settings, dispatch);
        inputBuffer.clear();
        overflowLogged_ = false;
    } catch (const std::exception&) {
        recover(io, inputBuffer);
    }
}

void InputAssembler::dispatchAll(ReaderIo& io, const TickSettings& settings,
                                 MessageDispatch& dispatch) {
    if (settings.scanOverride) {
        for (const std::string& message : messages_) {
            if (dispatch.ended()) return;
            const int cls = dispatch.classify(message);
            ++dispatched_;
            if (cls == 2) {
                io.log("Magstripe (In override mode): " + message);
            } else if (cls != 6) {
                dispatch.documentImage();
            }
        }
        return;
    }

    deletePreviewImages(io.programFolder);
    for (const std::string& message : messages_) {
        if (dispatch.ended()) return;
        const int cls = dispatch.classify(message);
        ++dispatched_;
        switch (cls) {
            case 1:
            case 6: dispatch.cheque(message); break;
            case 2: dispatch.magStripe(message); break;
            case 3: dispatch.backsideImage(); break;
            case 4: dispatch.cheque(upToLastC(message)); break;
            case 5: dispatch.genUSCheque(message); break;
            default: io.log("Unidentified: " + message); break;
        }
    }
}

bool InputAssembler::commEventChanged(int code) {
    if (code == lastCommEvent_) return false;
    lastCommEvent_ = code;
    return true;
}

void InputAssembler::recover(ReaderIo& io, std::string& inputBuffer) {
    // Closing a port that has already gone away is expected to fail; what matters is that the
    // port is open again, in text mode.
    bool reopened = false;
    try {
        io.port.close();
        const bool textMode = io.port.setInputMode(SerialPort::InputMode::Text);
        reopened = io.port.open() && textMode;
    } catch (const std::exception&) {
        reopened = false;
    }
    if (reopened) {
        lastCommEvent_ = 0;  // a new line: its first event is news again
        if (stage_ == Stage::Dispatching) {
            // What was handed on stays handed on; only the rest waits for the next tick.
            std::string rest;
            for (std::size_t i = dispatched_; i < messages_.size(); ++i) {
                rest += messages_[i];
                rest += io.terminator;
            }
            inputBuffer = rest;
            if (rest.empty()) overflowLogged_ = false;
        }
        return;
    }
    const SerialError error = io.port.lastError();
    io.ui.messageBox(portReopenFailureText(error.number, error.source, error.description),
                     portReopenFailureTitle(), MsgIcon::Stop, MsgButtons::Ok);
    if (io.endProgram) io.endProgram();
}

}  // namespace korvex
