#include "reader/ReadResponse.h"

#include <gtest/gtest.h>

#include "reader/ReaderRig.h"

namespace korvex {
namespace {

using test::ReaderRig;

// A reader that sends `text` once `atMs` of sleeping has passed.
void sendAt(ReaderRig& rig, std::vector<std::pair<int64_t, std::string>> script) {
    rig.port.onPoll = [&rig, script, next = std::size_t{0}]() mutable {
        while (next < script.size() && rig.sleptMs() >= script[next].first) {
            rig.port.feed(script[next].second);
            ++next;
        }
    };
}

TEST(ReadResponse, WaitsAreCountedInSleeps) {
    struct Case {
        const char* name;
        std::string terminator;
        std::vector<std::pair<int64_t, std::string>> script;
        int32_t poll, first, total;
        std::string reply;
        int64_t slept;
        std::size_t sleeps;
    };
    const std::vector<Case> cases = {
        {"a reader that never answers", "\r", {}, 10, 1500, 1500, "", 1500, 150},
        {"a reply without terminator takes the total time",
         "\r",
         {{0, "SWA=1"}},
         10,
         1500,
         1500,
         "SWA=1",
         1500,
         150},
        {"a whole reply at once needs no sleep",
         "\r",
         {{0, "HW=00001000\r"}},
         10,
         1500,
         1500,
         "HW=00001000\r",
         0,
         0},
        {"a reply after three polls", "\r", {{30, "OK\r"}}, 10, 1500, 1500, "OK\r", 30, 3},
        {"pieces are joined",
         "\r\n",
         {{0, "Ver"}, {20, "sion 1\r"}, {40, "\n"}},
         10,
         1500,
         1500,
         "Version 1\r\n",
         40,
         4},
        {"the total limit counts from the start",
         "\r",
         {{250, "12,3"}},
         10,
         300,
         300,
         "12,3",
         300,
         30},
        {"the first-character limit", "\r", {{700, "late\r"}}, 10, 600, 600, "", 600, 60},
        {"a shorter first-character limit", "\r", {{200, "late\r"}}, 10, 100, 1500, "", 100, 10},
        {"a first character in time waits the total",
         "\r",
         {{50, "a"}, {400, "b\r"}},
         10,
         100,
         1500,
         "ab\r",
         400,
         40},
        {"a zero poll interval still ends", "\r", {}, 0, 5, 5, "", 5, 5},
        {"an empty terminator ends at the first text", "", {{20, "x"}}, 10, 100, 100, "x", 20, 2},
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
