#include "platform/posix/DebugSinkStderr.h"

#include "text/Cp1255.h"

namespace korvex {

void DebugSinkStderr::write(const std::string& line) {
    std::string text = line;
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
        text.resize(text.size() - 2);
    std::string out = cp1255::toUtf8(text);
    out += '\n';
    // One write per line, so lines of two processes sharing the stream do not interleave.
    std::fwrite(out.data(), 1, out.size(), stream_);
    std::fflush(stream_);
}

}  // namespace korvex
