#pragma once
// The 100 ms polling tick: collects what the reader sends into InputBuffer and, once the buffer
// ends with the terminator, cuts it into messages and hands each to its pipeline.
//
// The assembler owns the tick's own state (the re-entrancy guard and the overflow note); the
// buffer itself is the main window's InputBuffer, passed in on every tick.

#include <cstddef>
#include <string>
#include <vector>

#include "reader/MessageDispatch.h"
#include "reader/ReaderIo.h"

namespace korvex {

struct TickSettings {
    bool debugFeedMode = false;  // "/NOCHK": feed "DEBUG" on every tick
    bool scanOverride = false;   // ScanOverrideFileNameTemplate is set: save images only
};

class InputAssembler {
public:
    // An unterminated buffer keeps at most this many of its newest characters.
    static constexpr std::size_t kBufferLimit = 64 * 1024;

    void tick(ReaderIo& io, std::string& inputBuffer, const TickSettings& settings,
              MessageDispatch& dispatch);

    // True while a tick runs; a tick that arrives meanwhile (from a dialog's or an image
    // transfer's event loop) returns at once and leaves the reader's text in the port.
    bool running() const { return running_; }

    // Whether a serial event is worth logging: a port that keeps raising the same event says
    // nothing new, so an event is logged when it differs from the one before, and again once
    // the recovery path has reopened the port.
    bool commEventChanged(int code);

private:
    enum class Stage { Reading, Dispatching };
    void dispatchAll(ReaderIo& io, const TickSettings& settings, MessageDispatch& dispatch);
    void recover(ReaderIo& io, std::string& inputBuffer);

    bool running_ = false;
    bool overflowLogged_ = false;
    int lastCommEvent_ = 0;  // 0: none since the port was last (re)opened here
    // While dispatching: the messages of the buffer and how many have been handed on, so that
    // the recovery path keeps exactly the ones not yet dispatched.
    std::vector<std::string> messages_;
    std::size_t dispatched_ = 0;
    Stage stage_ = Stage::Reading;
};

// Cuts a complete buffer into messages: the final terminator removed, the rest split at every
// terminator (empty pieces included). A buffer that is only the terminator gives none; with an
// empty terminator a non-empty buffer is one message.
std::vector<std::string> cutMessages(const std::string& buffer, const std::string& terminator);

// True when the buffer ends with the terminator (an empty terminator: always).
bool endsWithTerminator(const std::string& buffer, const std::string& terminator);

// The text of the recovery message box, and its title.
std::string portReopenFailureText(int number, const std::string& source,
                                  const std::string& description);
std::string portReopenFailureTitle();

}  // namespace korvex
