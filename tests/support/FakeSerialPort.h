#pragma once
// A serial port driven by the test: what the reader "sends" is queued with feed(), what the
// program sends is recorded in written. It can be told to refuse to open.

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/SerialPort.h"

namespace korvex::test {

class FakeSerialPort : public SerialPort {
public:
    // --- test controls ---
    bool refuseOpen = false;
    SerialError openError{8002, "FakeSerialPort", "Invalid port number"};
    std::string pending;               // bytes waiting to be read
    std::vector<std::string> written;  // every output() call
    // Replies queued per command: when the program writes a text starting with the key, the
    // reply is appended to `pending`.
    std::vector<std::pair<std::string, std::string>> replies;

    // When set, every output() appends what it returns to `pending` (a reader that answers by
    // what it was sent and by the line's settings); `replies` is not consulted then.
    std::function<std::string(const std::string& written)> responder;
    // Runs before every input() and inBufferCount(): lets a test release bytes as time passes.
    std::function<void()> onPoll;
    // The device goes away at the next input(): that read still gives what was waiting, then
    // the port raises comm event 8010 and reports itself closed, as the real port does.
    bool goneOnRead = false;

    void feed(const std::string& bytes) { pending += bytes; }

    // --- SerialPort ---
    bool setCommPort(int16_t number) override { return set(port_, number); }
    int16_t commPort() const override { return port_; }
    void setPortName(const std::string& name) override { portName = name; }
    bool setSettings(const LineSettings& settings) override { return set(settings_, settings); }
    LineSettings settings() const override { return settings_; }
    bool setHandshaking(int16_t code) override { return set(handshaking, code); }
    bool setRTSEnable(bool on) override { return set(rts, on); }
    bool open() override {
        if (refuseOpen) {
            error_ = openError;
            return false;
        }
        open_ = true;
        ++openCount;
        return true;
    }
    bool close() override {
        open_ = false;
        ++closeCount;
        return true;
    }
    bool isOpen() const override { return open_; }
    bool setInputMode(InputMode mode) override {
        modeHistory.push_back(mode);
        return set(mode_, mode);
    }
    InputMode inputMode() const override { return mode_; }
    std::string input(std::size_t maxBytes) override {
        if (onPoll) onPoll();
        const std::size_t n = maxBytes == 0 ? pending.size() : std::min(maxBytes, pending.size());
        std::string out = pending.substr(0, n);
        pending.erase(0, n);
        if (goneOnRead) {
            goneOnRead = false;
            open_ = false;
            error_ = {8010, "FakeSerialPort", "The device failed or went away"};
            if (onComm) onComm(8010);
        }
        return out;
    }
    std::size_t inBufferCount() override {
        if (onPoll) onPoll();
        return pending.size();
    }
    bool output(const std::string& text) override {
        if (!open_) {
            error_ = {8018, "FakeSerialPort", "Operation valid only when the port is open"};
            return false;
        }
        written.push_back(text);
        if (responder) {
            pending += responder(text);
            return true;
        }
        for (const auto& [prefix, reply] : replies) {
            if (text.rfind(prefix, 0) == 0) {
                pending += reply;
                break;
            }
        }
        return true;
    }
    SerialError lastError() const override { return error_; }
    void setCommEventHandler(std::function<void(int)> handler) override {
        onComm = std::move(handler);
    }

    std::string portName;
    int16_t handshaking = 0;
    bool rts = false;
    int openCount = 0, closeCount = 0;
    std::vector<InputMode> modeHistory;
    std::function<void(int)> onComm;

private:
    template <typename T>
    static bool set(T& field, const T& value) {
        field = value;
        return true;
    }

    int16_t port_ = 0;
    LineSettings settings_;
    bool open_ = false;
    InputMode mode_ = InputMode::Text;
    SerialError error_;
};

// What an image reader answers to the identification and set-up commands at 9600 baud.
inline const std::map<std::string, std::string> kReaderAnswers = {
    {"VR\r", "Version 2.04 MICRImage\r"},
    {"SWA\r", "SWA=00100000\r"},
    {"SWB\r", "SWB=01000001\r"},
    {"SWC\r", "SWC=00000000\r"},
    {"HW\r", "HW=0000 1000\r"},
    {"FC 00 00\r", "OK\r"},
    {"FC\r", "OK\r"}};

}  // namespace korvex::test
