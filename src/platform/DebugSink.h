#pragma once
// The diagnostics channel: one finished line at a time (date, time, message, CR LF), in
// Windows-1255. Windows sends it to the debugger output, other systems to standard error.

#include <string>

namespace korvex {

class DebugSink {
public:
    virtual ~DebugSink() = default;
    // Never fails towards the caller.
    virtual void write(const std::string& line) = 0;
};

}  // namespace korvex
