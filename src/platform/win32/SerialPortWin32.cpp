#include "platform/win32/SerialPortWin32.h"

#include <algorithm>

#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32Text.h"

namespace korvex {
namespace {

constexpr const char* kSource = "Win32 serial port";
// A write may wait this long for the driver, plus the time the bytes take on the line.
constexpr DWORD kWriteTimeoutMs = 5000;
// The driver's queues; a whole cheque image passes through the input queue between two polls.
constexpr DWORD kQueueBytes = 64 * 1024;
// One poll takes at most this much from the driver; the rest waits for the next poll.
constexpr std::size_t kReadChunk = 16 * 1024;
constexpr int kReadRounds = 64;

int openFailureNumber(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME: return 8002;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION: return 8005;
        default: return 8010;
    }
}

}  // namespace

std::vector<int> lineErrorEvents(unsigned long errors) {
    // The serial control's event codes: break 1001, framing 1004, overrun 1006, input queue
    // overflow 1008, parity 1009, output queue full 1010.
    static constexpr std::pair<unsigned long, int> kEvents[] = {
        {CE_BREAK, 1001},  {CE_FRAME, 1004},    {CE_OVERRUN, 1006},
        {CE_RXOVER, 1008}, {CE_RXPARITY, 1009}, {CE_TXFULL, 1010},
    };
    std::vector<int> events;
    for (const auto& [bit, code] : kEvents) {
        if ((errors & bit) != 0) events.push_back(code);
    }
    return events;
}

SerialPortWin32::~SerialPortWin32() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
}

bool SerialPortWin32::fail(int number, const std::string& description) {
    error_ = {number, kSource, description};
    return false;
}

std::string SerialPortWin32::deviceName() const {
    std::string name = serialDeviceName(commPort_, portName_, true);
    // "\\.\" reaches every device by its DOS name; COM10 and above are only reachable so.
    if (!name.empty() && name.find('\\') == std::string::npos) name = "\\\\.\\" + name;
    return name;
}

bool SerialPortWin32::setCommPort(int16_t number) {
    if (number < 1) return fail(8002, "Invalid port number " + std::to_string(number));
    if (handle_ != INVALID_HANDLE_VALUE) {
        return fail(8005, "The port number cannot change while the port is open");
    }
    commPort_ = number;
    return true;
}

bool SerialPortWin32::setSettings(const LineSettings& settings) {
    const LineSettings previous = line_;
    line_ = settings;
    if (!isOpen() || applyLineSettings()) return true;
    // The line keeps running as before; the failure stays in lastError.
    const SerialError refused = error_;
    line_ = previous;
    applyLineSettings();
    error_ = refused;
    return false;
}

bool SerialPortWin32::setHandshaking(int16_t code) {
    if (code < 0 || code > 3) {
        return fail(380, "Handshaking " + std::to_string(code) + " is not 0, 1, 2 or 3");
    }
    handshaking_ = code;
    return !isOpen() || applyLineSettings();
}

bool SerialPortWin32::setRTSEnable(bool on) {
    rts_ = on;
    // Under hardware handshaking RTS belongs to the driver. A line without modem lines refuses
    // the call, which is harmless.
    if (isOpen() && handshaking_ < 2) ::EscapeCommFunction(handle_, on ? SETRTS : CLRRTS);
    return true;
}

bool SerialPortWin32::applyLineSettings() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    const bool read = ::GetCommState(handle_, &dcb) != FALSE;
    if (read) {
        dcb.BaudRate = static_cast<DWORD>(line_.baud);
        dcb.ByteSize = static_cast<BYTE>(line_.dataBits);
        switch (line_.parity) {
            case LineSettings::Parity::None: dcb.Parity = NOPARITY; break;
            case LineSettings::Parity::Even: dcb.Parity = EVENPARITY; break;
            case LineSettings::Parity::Odd: dcb.Parity = ODDPARITY; break;
            case LineSettings::Parity::Mark: dcb.Parity = MARKPARITY; break;
            case LineSettings::Parity::Space: dcb.Parity = SPACEPARITY; break;
        }
        switch (line_.stopBits) {
            case LineSettings::StopBits::One: dcb.StopBits = ONESTOPBIT; break;
            case LineSettings::StopBits::OneAndHalf: dcb.StopBits = ONE5STOPBITS; break;
            case LineSettings::StopBits::Two: dcb.StopBits = TWOSTOPBITS; break;
        }
        dcb.fBinary = TRUE;
        dcb.fParity = line_.parity != LineSettings::Parity::None;
        // Handshaking 1 is XON/XOFF, 2 RTS/CTS, 3 both.
        const bool software = handshaking_ == 1 || handshaking_ == 3;
        const bool hardware = handshaking_ >= 2;
        dcb.fOutX = software;
        dcb.fInX = software;
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
        dcb.XonLim = static_cast<WORD>(kQueueBytes / 4);
        dcb.XoffLim = static_cast<WORD>(kQueueBytes / 4);
        dcb.fOutxCtsFlow = hardware;
        dcb.fRtsControl = hardware ? RTS_CONTROL_HANDSHAKE
                          : rts_   ? RTS_CONTROL_ENABLE
                                   : RTS_CONTROL_DISABLE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fErrorChar = FALSE;
        dcb.fNull = FALSE;
        // A line error must not stop every later read until someone clears it.
        dcb.fAbortOnError = FALSE;
    }
    if (!read || ::SetCommState(handle_, &dcb) == FALSE) {
        return fail(8015, "Settings " + lineSettingsText(line_) +
                              " could not be applied: " + win32::errorText(::GetLastError()));
    }
    return true;
}

bool SerialPortWin32::open() {
    if (gone_) close();
    if (handle_ != INVALID_HANDLE_VALUE) return fail(8005, "The port is already open");
    const std::string device = deviceName();
    if (device.empty()) return fail(8002, "Invalid port number " + std::to_string(commPort_));
    HANDLE handle = ::CreateFileW(win32::widen(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return fail(openFailureNumber(error), device + ": " + win32::errorText(error));
    }
    handle_ = handle;
    // A driver that keeps its own queue sizes is fine too.
    ::SetupComm(handle_, kQueueBytes, kQueueBytes);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;   // with both totals 0: return what is there at once
    timeouts.WriteTotalTimeoutMultiplier = 2;  // about twice a byte's time at 9600 baud
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
    if (!applyLineSettings() || ::SetCommTimeouts(handle_, &timeouts) == FALSE) {
        if (error_.number != 8015) {
            fail(8015, device + ": the time-outs could not be set: " +
                           win32::errorText(::GetLastError()));
        }
        const SerialError kept = error_;
        ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        error_ = kept;
        return false;
    }
    // DTR and RTS are lines some devices (and a pseudo-terminal under Wine) do not have; their
    // refusal is harmless.
    ::EscapeCommFunction(handle_, SETDTR);
    if (handshaking_ < 2) ::EscapeCommFunction(handle_, rts_ ? SETRTS : CLRRTS);
    received_.clear();
    gone_ = false;
    error_ = {};
    return true;
}

bool SerialPortWin32::close() {
    if (handle_ == INVALID_HANDLE_VALUE) return fail(8012, "The port is not open");
    // A port whose device went away still holds the old device: closing releases it.
    ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    received_.clear();
    gone_ = false;
    return true;
}

void SerialPortWin32::deviceGone(unsigned long systemError) {
    // Once the device is gone every further call fails the same way; the failure is reported
    // once and the port says it is closed, so that its user can close and open it again.
    if (gone_) return;
    gone_ = true;
    error_ = {8010, kSource, "The device failed or went away: " + win32::errorText(systemError)};
    if (handler_) handler_(error_.number);
}

bool SerialPortWin32::checkLine(COMSTAT* status) {
    if (!isOpen()) return false;
    DWORD errors = 0;
    if (::ClearCommError(handle_, &errors, status) == FALSE) {
        deviceGone(::GetLastError());
        return false;
    }
    if (handler_) {
        for (const int event : lineErrorEvents(errors)) handler_(event);
    }
    return true;
}

void SerialPortWin32::pullAvailable() {
    COMSTAT status{};
    if (!checkLine(&status)) return;
    char chunk[kReadChunk];
    for (int round = 0; round < kReadRounds; ++round) {
        DWORD got = 0;
        if (::ReadFile(handle_, chunk, sizeof chunk, &got, nullptr) == FALSE) {
            deviceGone(::GetLastError());
            return;
        }
        received_.append(chunk, got);
        if (got < sizeof chunk) return;
    }
}

std::string SerialPortWin32::input(std::size_t maxBytes) {
    if (handle_ == INVALID_HANDLE_VALUE) {
        fail(8018, "Operation valid only when the port is open");
        return {};
    }
    // What arrived before the device went away is still given; the failure stays in lastError.
    pullAvailable();
    const std::size_t count =
        maxBytes == 0 ? received_.size() : std::min(maxBytes, received_.size());
    std::string taken = received_.substr(0, count);
    received_.erase(0, count);
    return taken;
}

std::size_t SerialPortWin32::inBufferCount() {
    COMSTAT status{};
    if (!checkLine(&status)) return 0;
    return received_.size() + status.cbInQue;
}

bool SerialPortWin32::output(const std::string& text) {
    if (gone_) return false;  // lastError keeps why
    if (handle_ == INVALID_HANDLE_VALUE) {
        return fail(8018, "Operation valid only when the port is open");
    }
    std::size_t sent = 0;
    while (sent < text.size()) {
        DWORD written = 0;
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(text.size() - sent, 1 << 20));
        if (::WriteFile(handle_, text.data() + sent, size, &written, nullptr) == FALSE) {
            deviceGone(::GetLastError());
            return false;
        }
        // Only the write time-out ends a synchronous write early (a line held back by handshaking).
        if (written < size) return fail(8010, "Writing to the port timed out");
        sent += written;
    }
    return true;
}

}  // namespace korvex
