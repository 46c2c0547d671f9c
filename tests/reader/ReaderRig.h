#pragma once
// The fakes a reader routine needs, wired into one ReaderIo, and short ways to script a reader.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "support/FakeServices.h"
#include "support/TempFolder.h"
#include "reader/ReaderIo.h"

namespace korvex::test {

// "a|b" is the list {"a", "b"}; "" the empty list.
inline std::vector<std::string> list(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t from = 0; !text.empty();) {
        const std::size_t bar = text.find('|', from);
        out.push_back(text.substr(from, bar - from));
        if (bar == std::string::npos) break;
        from = bar + 1;
    }
    return out;
}

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
    }

    // A reader that answers each command it knows with its reply.
    void answer(std::map<std::string, std::string> replies) {
        port.responder = [replies](const std::string& sent) {
            const auto it = replies.find(sent);
            return it == replies.end() ? std::string() : it->second;
        };
    }
    // A reader that holds `image` ("" = none) for every image request.
    void holdImage(const std::string& image) {
        answer({{"IS\r",
                 image.empty() ? "MN0,0,0\r" : "IM1," + std::to_string(image.size()) + ",F4\r"},
                {"TI F4\r", image}});
    }
    int64_t sleptMs() const {
        int64_t total = 0;
        for (auto s : clock.sleeps) total += s.count();
        return total;
    }
    bool logged(const std::string& message) const {
        return std::find(logs.begin(), logs.end(), message) != logs.end();
    }
};

}  // namespace korvex::test
