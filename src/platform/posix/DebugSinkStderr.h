#pragma once
// Diagnostic lines on standard error, for systems without a debugger output channel. The line
// keeps its format (date, time, message); its Windows-1255 text is written as UTF-8 and the
// CR LF ending as the system's line end.

#include <cstdio>

#include "platform/DebugSink.h"

namespace korvex {

class DebugSinkStderr : public DebugSink {
public:
    // `stream` is standard error unless a test gives another.
    explicit DebugSinkStderr(std::FILE* stream = stderr) : stream_(stream) {}
    void write(const std::string& line) override;

private:
    std::FILE* stream_;
};

}  // namespace korvex
