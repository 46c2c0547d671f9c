#pragma once
// Diagnostic lines to the debugger output (OutputDebugStringA), where a debugger or a viewer of
// debug output collects them. The line's Windows-1255 bytes pass unchanged.

#include "platform/DebugSink.h"

namespace korvex {

class DebugSinkWin32 : public DebugSink {
public:
    // A NUL inside the line would end it for OutputDebugStringA; it is written as a blank so
    // that the rest of the line is not lost.
    void write(const std::string& line) override;
};

}  // namespace korvex
