#include "reader/ReadResponse.h"

#include <gtest/gtest.h>

#include "reader/ReaderRig.h"

namespace korvex {
namespace {

using test::ReaderRig;

// A reader that sends each "MS:text" of `script` once MS of sleeping has passed.
void sendAt(ReaderRig& rig, const std::string& script) {
    rig.port.onPoll = [&rig, script = test::list(script), next = std::size_t{0}]() mutable {
        for (; next < script.size(); ++next) {
            const std::size_t colon = script[next].find(':');
            if (rig.sleptMs() < std::stoll(script[next].substr(0, colon))) break;
            rig.port.feed(script[next].substr(colon + 1));
        }
    };
}

TEST(ReadResponse, WaitsAreCountedInSleeps) {
    struct Case {
        const char* name;
        std::string script;
        int32_t poll, first, total;
        std::string reply;
        int64_t slept;
        std::size_t sleeps;
        std::string terminator = "\r";
    };
    const std::vector<Case> cases = {
        {"a reader that never answers", "", 10, 1500, 1500, "", 1500, 150},
        {"no terminator: the total time", "0:SWA=1", 10, 1500, 1500, "SWA=1", 1500, 150},
        {"a whole reply at once needs no sleep", "0:HW=1\r", 10, 1500, 1500, "HW=1\r", 0, 0},
        {"pieces are joined", "0:Ver|20:sion 1\r|40:\n", 10, 1500, 1500, "Version 1\r\n", 40, 4,
         "\r\n"},
        {"the total counts from the start", "250:12,3", 10, 300, 300, "12,3", 300, 30},
        {"the first-character limit", "700:late\r", 10, 600, 600, "", 600, 60},
        {"a shorter first-character limit", "200:late\r", 10, 100, 1500, "", 100, 10},
        {"a first character in time", "50:a|400:b\r", 10, 100, 1500, "ab\r", 400, 40},
        {"a zero poll interval still ends", "", 0, 5, 5, "", 5, 5},
        {"an empty terminator: the first text", "20:x", 10, 100, 100, "x", 20, 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderRig rig;
        rig.io.terminator = c.terminator;
        sendAt(rig, c.script);
        EXPECT_EQ(ReadResponse(rig.io, c.poll, c.first, c.total), c.reply);
        EXPECT_EQ(rig.sleptMs(), c.slept);
        EXPECT_EQ(rig.clock.sleeps.size(), c.sleeps);
    }
}

TEST(ReadResponse, TheReplyIsEchoedToTheDetailsWindow) {
    ReaderRig rig;
    rig.ui.detailsExists = true;
    rig.ui.readerData = "before|";
    rig.port.feed("Version 2.04\r");
    ReadResponse(rig.io, 10, 1500, 1500);
    EXPECT_EQ(rig.ui.readerData, "before|Version 2.04\r");
}

TEST(ReadResponse, AClosedPortGivesAnEmptyReplyAfterTheLimit) {
    ReaderRig rig;
    rig.port.feed("unread\r");
    rig.port.close();
    EXPECT_EQ(ReadResponse(rig.io, 10, 100, 100), "");
    EXPECT_EQ(rig.sleptMs(), 100);
}

}  // namespace
}  // namespace korvex
