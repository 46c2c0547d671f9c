#pragma once
// The fakes a reader routine needs, wired into one ReaderIo.

#include <string>
#include <vector>

#include "support/FakeServices.h"
#include "support/TempFolder.h"
#include "reader/ReaderIo.h"

namespace korvex::test {

struct ReaderRig : FakeServices {
    TempFolder folder;
    std::vector<std::string> logs;
    int programEnds = 0;
    ReaderIo io{port,
                clock,
                ui,
                [this](const std::string& m) { logs.push_back(m); },
                "\r",
                folder.path(),
                [this] { ++programEnds; }};

    ReaderRig() {
        port.setSettings(LineSettings{});
        port.open();
        port.settingsHistory.clear();
        port.openCount = 0;
    }

    int64_t sleptMs() const {
        int64_t total = 0;
        for (auto s : clock.sleeps) total += s.count();
        return total;
    }
    bool logged(const std::string& message) const {
        for (const auto& m : logs) {
            if (m == message) return true;
        }
        return false;
    }
};

}  // namespace korvex::test
