#pragma once
#include <string>
#include <vector>

#include "platform/DebugSink.h"

namespace korvex::test {

class RecordingDebugSink : public DebugSink {
public:
    void write(const std::string& line) override { lines.push_back(line); }

    // The message part of each line: after "dd/mm/yyyy hh:mm:ss " and without the CR LF.
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& line : lines) {
            std::string m = line.size() >= 20 ? line.substr(20) : line;
            if (m.size() >= 2 && m.compare(m.size() - 2, 2, "\r\n") == 0) m.resize(m.size() - 2);
            out.push_back(m);
        }
        return out;
    }
    bool contains(const std::string& message) const {
        for (const auto& m : messages()) {
            if (m == message) return true;
        }
        return false;
    }

    std::vector<std::string> lines;
};

}  // namespace korvex::test
