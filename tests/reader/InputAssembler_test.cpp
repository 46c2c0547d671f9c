#include "reader/InputAssembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <tuple>

#include "reader/ReaderRig.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using Calls = std::vector<std::string>;
using test::list;

// Classifies by a table of exact messages (default 0) and records every pipeline call.
class RecordingDispatch : public MessageDispatch {
public:
    std::map<std::string, int> classes;
    Calls calls;
    // Runs at the start of the n-th pipeline call (0-based), e.g. to throw or to tick again.
    std::map<std::size_t, std::function<void()>> during;

    int classify(const std::string& m) override {
        const auto it = classes.find(m);
        return it == classes.end() ? 0 : it->second;
    }
    void cheque(const std::string& line) override { record("cheque:" + line); }
    void magStripe(const std::string& m) override { record("card:" + m); }
    void genUSCheque(const std::string& m) override { record("us:" + m); }
    void backsideImage() override { record("back"); }
    void documentImage() override { record("document"); }

private:
    void record(const std::string& call) {
        const std::size_t n = calls.size();
        calls.push_back(call);
        if (const auto it = during.find(n); it != during.end()) it->second();
    }
};

struct Assembler {
    test::ReaderRig rig;
    RecordingDispatch dispatch;
    InputAssembler assembler;
    std::string buffer;
    TickSettings settings;
    void tick(const std::string& sent = "") {
        rig.port.feed(sent);
        assembler.tick(rig.io, buffer, settings, dispatch);
    }
};

const std::string kPartial = "Received partial input, buffering & awaiting more:\r\n";

TEST(InputAssembler, DispatchesCompleteBuffersByClassInArrivalOrder) {
    const std::string p = kPartial;
    struct Case {
        const char* name;
        std::string ticks;    // what the reader sent before each tick
        std::string classes;  // "message=class|..."
        std::string calls, logs, bufferAfter = "", terminator = "\r";
        bool scanOverride = false;
    };
    const std::vector<Case> cases = {
        {"an unfinished second holds the first", "X\rY||\r", "X=1|Y=5", "cheque:X|us:Y",
         p + "X\rY"},
        {"empty and unknown messages are logged", "X\r\rOK\r", "X=1", "cheque:X",
         "Unidentified: |Unidentified: OK"},
        {"CR LF: a lone CR is in the message", "AB\rCD\r\n", "AB\rCD=5", "us:AB\rCD", "", "",
         "\r\n"},
        {"CR LF across two ticks", "X\r|\n", "X=2", "card:X", p + "X\r", "", "\r\n"},
        {"no terminator: a tick is a message", "X\rY||Z", "X\rY=5|Z=2", "us:X\rY|card:Z", "", "",
         ""},
        {"postal-bank line up to its last C", "A1C2C3B\rXYZ\r", "A1C2C3B=4|XYZ=4",
         "cheque:A1C2C|cheque:", ""},
        {"no ink, US, Nonus in order", "N\rU\rQ\r", "N=3|U=5|Q=6", "back|us:U|cheque:Q", ""},
        {"scan override: cards logged, Nonus ignored, the rest fetch images",
         "u\rc\rm\rd\rp\rs\rn\rn\r", "u=0|c=1|m=2|d=3|p=4|s=5|n=6",
         "document|document|document|document|document", "Magstripe (In override mode): m", "",
         "\r", true},
        {"partial input is logged once", "ab|cd|", "", "", p + "ab|" + p + "cd", "abcd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Assembler a;
        a.rig.io.terminator = c.terminator;
        for (const auto& m : list(c.classes))
            a.dispatch.classes[m.substr(0, m.rfind('='))] = m.back() - '0';
        a.settings.scanOverride = c.scanOverride;
        for (const auto& sent : list(c.ticks)) a.tick(sent);
        EXPECT_EQ(a.dispatch.calls, list(c.calls));
        EXPECT_EQ(a.rig.logs, list(c.logs));
        EXPECT_EQ(a.buffer, c.bufferAfter);
        EXPECT_TRUE(a.rig.port.pending.empty());
    }
}

TEST(InputAssembler, PreviewImagesAreDeletedBeforeNormalDispatchOnly) {
    using Case = std::tuple<std::string, bool, bool>;  // sent, scan override, deleted
    for (const auto& [sent, scanOverride, deleted] :
         {Case{"\r", false, true}, Case{"abc", false, false}, Case{"X\r", true, false}}) {
        SCOPED_TRACE(sent);
        Assembler a;
        a.rig.folder.write("netpbm/tmpimage.tif", "tif");
        a.settings.scanOverride = scanOverride;
        a.tick(sent);
        EXPECT_EQ(a.rig.folder.exists("netpbm/tmpimage.tif"), !deleted);
    }
}

TEST(InputAssembler, EchoKeepsTheLast1024CharactersOfReaderData) {
    Assembler a;
    a.rig.ui.detailsExists = true;
    a.rig.ui.readerData = std::string(1000, 'a');
    a.tick(std::string(100, 'b'));
    EXPECT_EQ(a.rig.ui.readerData, std::string(924, 'a') + std::string(100, 'b'));
}

TEST(InputAssembler, ATickInsideARunningTickLeavesTheInputInThePort) {
    Assembler a;
    a.dispatch.classes = {{"X", 1}, {"Z", 2}};
    // The cheque pipeline shows a dialog; meanwhile the reader sends a card and a tick arrives.
    a.dispatch.during[0] = [&] { a.tick("Z\r"); };
    a.tick("X\r");
    EXPECT_EQ(a.dispatch.calls, (Calls{"cheque:X"}));
    EXPECT_EQ(a.rig.port.pending, "Z\r");
    a.tick();
    EXPECT_EQ(a.dispatch.calls, (Calls{"cheque:X", "card:Z"}));
}

TEST(InputAssembler, RecoveryKeepsOnlyTheMessagesNotYetDispatched) {
    Assembler a;
    a.dispatch.classes = {{"A", 1}, {"B", 1}, {"C", 2}};
    a.dispatch.during[1] = [] { throw std::runtime_error("pipeline failed"); };
    a.tick("A\rB\rC\r");
    EXPECT_EQ(a.dispatch.calls, (Calls{"cheque:A", "cheque:B"}));
    EXPECT_EQ(a.buffer, "C\r");
    EXPECT_EQ(a.rig.port.closeCount, 1);
    a.tick();
    EXPECT_EQ(a.dispatch.calls, (Calls{"cheque:A", "cheque:B", "card:C"}));
}

TEST(InputAssembler, AClosedPortIsReopenedOrEndsTheProgramWithItsError) {
    Assembler a;
    a.buffer = "half";
    a.rig.port.close();
    a.rig.port.setInputMode(SerialPort::InputMode::Binary);
    a.tick();
    EXPECT_EQ(a.rig.port.inputMode(), SerialPort::InputMode::Text);
    EXPECT_EQ(a.buffer, "half");
    // A read that finds the device gone is reopened at once; what arrived before it is kept.
    a.rig.port.goneOnRead = true;
    a.tick("way\r");
    EXPECT_TRUE(a.rig.port.isOpen());
    EXPECT_EQ(a.buffer, "halfway\r");
    EXPECT_TRUE(a.rig.ui.messageBoxes.empty());

    a.rig.port.close();
    a.rig.port.refuseOpen = true;
    a.rig.port.openError = {8002, "QSerialPort", "No such device"};
    a.tick();
    ASSERT_EQ(a.rig.ui.messageBoxes.size(), 1u);
    EXPECT_EQ(a.rig.ui.messageBoxes[0].text,
              cp1255::fromUtf8("לא ניתן לפתוח מחדש את יציאת התקשורת.\r\n\r\nמספר שגיאה: "
                               "8002, מקור השגיאה: QSerialPort, תיאור השגיאה: ") +
                  "No such device");
    EXPECT_EQ(a.rig.programEnds, 1);
}

TEST(InputAssembler, EndlessInputWithoutTerminatorStaysBounded) {
    constexpr std::size_t kLimit = InputAssembler::kBufferLimit;
    Assembler a;
    std::string noise(1 << 20, 'x');
    noise.back() = 'E';
    a.tick(noise);
    a.tick("more");
    const auto overflowNotes = [&a] {
        return std::count_if(a.rig.logs.begin(), a.rig.logs.end(), [](const std::string& m) {
            return m.rfind("Input without a terminator", 0) == 0;
        });
    };
    EXPECT_EQ(overflowNotes(), 1);
    EXPECT_EQ(a.rig.logs.back(), kPartial + "more");
    // The newest text is one message; its pipeline fails, so the next flood is noted again.
    const std::string newest = noise.substr(noise.size() - kLimit + 4) + "more";
    a.dispatch.classes = {{newest, 1}};
    a.dispatch.during[0] = [] { throw std::runtime_error("pipeline failed"); };
    a.tick("\r");
    EXPECT_EQ(a.dispatch.calls, Calls{"cheque:" + newest});
    a.tick(noise);
    EXPECT_EQ(overflowNotes(), 2);
    // A message handled in order also ends the flood.
    a.tick("\r");
    a.tick(noise);
    EXPECT_EQ(overflowNotes(), 3);
}

}  // namespace
}  // namespace korvex
