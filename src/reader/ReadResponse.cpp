#include "reader/ReadResponse.h"

#include <chrono>

#include "platform/Clock.h"
#include "platform/SerialPort.h"

namespace korvex {

std::string ReadResponse(ReaderIo& io, int32_t pollIntervalMs, int32_t firstCharTimeoutMs,
                         int32_t totalTimeoutMs) {
    const int64_t poll = pollIntervalMs < 1 ? 1 : pollIntervalMs;
    std::string reply;
    int64_t waited = 0;
    for (;;) {
        if (reply.empty() ? waited >= firstCharTimeoutMs : waited >= totalTimeoutMs) break;
        if (io.port.isOpen()) reply += io.port.input();
        const std::string& t = io.terminator;
        if (!reply.empty() && reply.size() >= t.size() &&
            reply.compare(reply.size() - t.size(), t.size(), t) == 0) {
            break;
        }
        io.clock.sleep(std::chrono::milliseconds(poll));
        waited += poll;
    }
    echoReaderData(io.ui, reply);
    return reply;
}

}  // namespace korvex
