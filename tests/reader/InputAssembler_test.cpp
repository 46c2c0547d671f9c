#include "reader/InputAssembler.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>

#include "reader/ReaderRig.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using test::ReaderRig;

// Classifies by a table of exact messages (default 0) and records every pipeline call.
class RecordingDispatch : public MessageDispatch {
public:
    std::map<std::string, int> classes;
    std::vector<std::string> calls;
    // Runs at the start of the n-th pipeline call (0-based), e.g. to throw or to tick again.
    std::map<std::size_t, std::function<void()>> during;

    int classify(const std::string& message) override {
        const auto it = classes.find(message);
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

const std::string kPartial = "Received partial input, buffering & awaiting more:\r\n";

struct TickCase {
    const char* name;
    std::string terminator;
    std::vector<std::string> ticks;  // what the reader sent before each tick
    std::map<std::string, int> classes;
    bool scanOverride;
    std::vector<std::string> calls;
    std::vector<std::string> logs;
    std::string bufferAfter;
};

TEST(InputAssembler, DispatchesCompleteBuffersByClassInArrivalOrder) {
    const std::vector<TickCase> cases = {
        {"cheque line in two ticks",
         "\r",
         {"A0012345C12", "A456E1234567C\r"},
         {{"A0012345C12A456E1234567C", 1}},
         false,
         {"cheque:A0012345C12A456E1234567C"},
         {kPartial + "A0012345C12"},
         ""},
        {"two messages in one tick keep their order",
         "\r",
         {"X\rY\r"},
         {{"X", 2}, {"Y", 1}},
         false,
         {"card:X", "cheque:Y"},
         {},
         ""},
        {"an unfinished second message holds back the first",
         "\r",
         {"X\rY", "", "\r"},
         {{"X", 1}, {"Y", 5}},
         false,
         {"cheque:X", "us:Y"},
         {kPartial + "X\rY"},
         ""},
        {"a lone terminator dispatches nothing", "\r", {"\r"}, {}, false, {}, {}, ""},
        {"a doubled terminator gives an empty unidentified message",
         "\r",
         {"X\r\r"},
         {{"X", 1}},
         false,
         {"cheque:X"},
         {"Unidentified: "},
         ""},
        {"CR LF: a lone CR is part of the message",
         "\r\n",
         {"AB\rCD\r\n"},
         {{"AB\rCD", 5}},
         false,
         {"us:AB\rCD"},
         {},
         ""},
        {"CR LF split across two ticks",
         "\r\n",
         {"X\r", "\n"},
         {{"X", 2}},
         false,
         {"card:X"},
         {kPartial + "X\r"},
         ""},
        {"empty terminator: each tick's input is one message",
         "",
         {"X\rY", "", "Z"},
         {{"X\rY", 5}, {"Z", 2}},
         false,
         {"us:X\rY", "card:Z"},
         {},
         ""},
        {"postal-bank line up to its last C",
         "\r",
         {"A123C12A456E789CB\r"},
         {{"A123C12A456E789CB", 4}},
         false,
         {"cheque:A123C12A456E789C"},
         {},
         ""},
        {"postal-bank line without C", "\r", {"XYZ\r"}, {{"XYZ", 4}}, false, {"cheque:"}, {}, ""},
        {"documents without ink, Nonus and US cheques",
         "\r",
         {"N\rU\rQ\r"},
         {{"N", 3}, {"U", 5}, {"Q", 6}},
         false,
         {"back", "us:U", "cheque:Q"},
         {},
         ""},
        {"unidentified text is logged", "\r", {"OK\r"}, {}, false, {}, {"Unidentified: OK"}, ""},
        {"scan override: cards logged, Nonus ignored, the rest fetch images",
         "\r",
         {"u\rc\rm\rd\rp\rs\rn\r"},
         {{"u", 0}, {"c", 1}, {"m", 2}, {"d", 3}, {"p", 4}, {"s", 5}, {"n", 6}},
         true,
         {"document", "document", "document", "document", "document"},
         {"Magstripe (In override mode): m"},
         ""},
        {"partial input is logged with only the new text",
         "\r",
         {"ab", "cd", ""},
         {},
         false,
         {},
         {kPartial + "ab", kPartial + "cd"},
         "abcd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderRig rig;
        rig.io.terminator = c.terminator;
        RecordingDispatch dispatch;
        dispatch.classes = c.classes;
        InputAssembler assembler;
        std::string buffer;
        TickSettings settings;
        settings.scanOverride = c.scanOverride;
        for (const auto& sent : c.ticks) {
            rig.port.feed(sent);
            assembler.tick(rig.io, buffer, settings, dispatch);
        }
        EXPECT_EQ(dispatch.calls, c.calls);
        EXPECT_EQ(rig.logs, c.logs);
        EXPECT_EQ(buffer, c.bufferAfter);
        EXPECT_TRUE(rig.port.pending.empty());
    }
}

TEST(InputAssembler, DebugFeedRunsOnEveryTickBeforeTheMessages) {
    ReaderRig rig;
    RecordingDispatch dispatch;
    dispatch.classes = {{"X", 2}};
    InputAssembler assembler;
    std::string buffer;
    TickSettings settings;
    settings.debugFeedMode = true;
    assembler.tick(rig.io, buffer, settings, dispatch);
    rig.port.feed("X\r");
    assembler.tick(rig.io, buffer, settings, dispatch);
    EXPECT_EQ(dispatch.calls, (std::vector<std::string>{"cheque:DEBUG", "cheque:DEBUG", "card:X"}));
}

TEST(InputAssembler, PreviewImagesAreDeletedBeforeNormalDispatchOnly) {
    struct Case {
        const char* name;
        std::string sent;
        bool scanOverride;
        bool deleted;
    };
    for (const Case& c :
         {Case{"complete buffer", "\r", false, true}, Case{"partial input", "abc", false, false},
          Case{"scan override", "X\r", true, false}}) {
        SCOPED_TRACE(c.name);
        ReaderRig rig;
        std::filesystem::create_directory(rig.folder / "netpbm");
        rig.folder.write("netpbm/tmpimage.tif", "tif");
        rig.folder.write("netpbm/tmpimage.gif", "gif");
        RecordingDispatch dispatch;
        InputAssembler assembler;
        std::string buffer;
        TickSettings settings;
        settings.scanOverride = c.scanOverride;
        rig.port.feed(c.sent);
        assembler.tick(rig.io, buffer, settings, dispatch);
        EXPECT_EQ(rig.folder.exists("netpbm/tmpimage.tif"), !c.deleted);
        EXPECT_EQ(rig.folder.exists("netpbm/tmpimage.gif"), !c.deleted);
    }
}

TEST(InputAssembler, EchoKeepsTheLast1024CharactersOfReaderData) {
    ReaderRig rig;
    rig.ui.detailsExists = true;
    rig.ui.readerData = std::string(1000, 'a');
    RecordingDispatch dispatch;
    InputAssembler assembler;
    std::string buffer;
    rig.port.feed(std::string(100, 'b'));
    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_EQ(rig.ui.readerData, std::string(924, 'a') + std::string(100, 'b'));

    std::string big(1 << 20, 'c');
    big[big.size() - 1024] = 'd';
    rig.port.feed(big);
    assembler.tick(rig.io, buffer, {}, dispatch);
    ASSERT_EQ(rig.ui.readerData.size(), 1024u);
    EXPECT_EQ(rig.ui.readerData.front(), 'd');

    ReaderRig closed;
    closed.ui.readerData = "before";
    closed.port.feed("X\r");
    InputAssembler other;
    other.tick(closed.io, buffer, {}, dispatch);
    EXPECT_EQ(closed.ui.readerData, "before");
}

TEST(InputAssembler, ATickInsideARunningTickLeavesTheInputInThePort) {
    ReaderRig rig;
    RecordingDispatch dispatch;
    dispatch.classes = {{"X", 1}, {"Z", 2}};
    InputAssembler assembler;
    std::string buffer;
    bool sawRunning = false;
    // The cheque pipeline shows a dialog; meanwhile the reader sends a card and a tick arrives.
    dispatch.during[0] = [&] {
        sawRunning = assembler.running();
        rig.port.feed("Z\r");
        assembler.tick(rig.io, buffer, {}, dispatch);
    };
    rig.port.feed("X\r");
    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_TRUE(sawRunning);
    EXPECT_EQ(dispatch.calls, (std::vector<std::string>{"cheque:X"}));
    EXPECT_EQ(rig.port.pending, "Z\r");
    EXPECT_FALSE(assembler.running());
    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_EQ(dispatch.calls, (std::vector<std::string>{"cheque:X", "card:Z"}));
}

TEST(InputAssembler, RecoveryKeepsOnlyTheMessagesNotYetDispatched) {
    ReaderRig rig;
    RecordingDispatch dispatch;
    dispatch.classes = {{"A", 1}, {"B", 1}, {"C", 2}};
    dispatch.during[1] = [] { throw std::runtime_error("pipeline failed"); };
    InputAssembler assembler;
    std::string buffer;
    rig.port.feed("A\rB\rC\r");
    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_EQ(dispatch.calls, (std::vector<std::string>{"cheque:A", "cheque:B"}));
    EXPECT_EQ(buffer, "C\r");
    EXPECT_EQ(rig.port.closeCount, 1);
    EXPECT_EQ(rig.port.openCount, 1);
    EXPECT_TRUE(rig.port.isOpen());
    EXPECT_EQ(rig.port.inputMode(), SerialPort::InputMode::Text);
    EXPECT_TRUE(rig.ui.messageBoxes.empty());

    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_EQ(dispatch.calls, (std::vector<std::string>{"cheque:A", "cheque:B", "card:C"}));
    EXPECT_EQ(buffer, "");
}

TEST(InputAssembler, AClosedPortIsReopenedAndTheBufferKept) {
    ReaderRig rig;
    RecordingDispatch dispatch;
    InputAssembler assembler;
    std::string buffer = "half";
    rig.port.close();
    rig.port.setInputMode(SerialPort::InputMode::Binary);
    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_TRUE(rig.port.isOpen());
    EXPECT_EQ(rig.port.inputMode(), SerialPort::InputMode::Text);
    EXPECT_EQ(buffer, "half");
    EXPECT_EQ(rig.programEnds, 0);

    // A read that finds the device gone is the tick's failure: the port is reopened at once and
    // what arrived before the failure is kept.
    rig.port.feed("way\r");
    rig.port.goneOnRead = true;
    const int closes = rig.port.closeCount;
    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_EQ(rig.port.closeCount, closes + 1);
    EXPECT_TRUE(rig.port.isOpen());
    EXPECT_EQ(buffer, "halfway\r");
    EXPECT_TRUE(dispatch.calls.empty());
    EXPECT_EQ(rig.programEnds, 0);
}

TEST(InputAssembler, APortThatWillNotReopenEndsTheProgramWithItsError) {
    ReaderRig rig;
    RecordingDispatch dispatch;
    InputAssembler assembler;
    std::string buffer;
    rig.port.close();
    rig.port.refuseOpen = true;
    rig.port.openError = {8002, "QSerialPort", "No such device"};
    assembler.tick(rig.io, buffer, {}, dispatch);
    ASSERT_EQ(rig.ui.messageBoxes.size(), 1u);
    const auto& box = rig.ui.messageBoxes[0];
    EXPECT_EQ(box.title, cp1255::fromUtf8("שגיאת תקשורת"));
    EXPECT_EQ(box.icon, MsgIcon::Stop);
    EXPECT_EQ(box.text, cp1255::fromUtf8("לא ניתן לפתוח מחדש את יציאת התקשורת.\r\n\r\nמספר שגיאה: "
                                         "8002, מקור השגיאה: QSerialPort, תיאור השגיאה: ") +
                            "No such device");
    EXPECT_EQ(rig.programEnds, 1);
}

TEST(InputAssembler, EndlessInputWithoutTerminatorStaysBounded) {
    ReaderRig rig;
    RecordingDispatch dispatch;
    InputAssembler assembler;
    std::string buffer;
    std::string noise;
    for (std::size_t i = 0; i < (1u << 20); ++i)
        noise += static_cast<char>(i % 13 == 0 ? 'x' : i % 251 + 14);
    noise[noise.size() - 1] = 'E';
    rig.port.feed(noise);
    assembler.tick(rig.io, buffer, {}, dispatch);
    ASSERT_EQ(buffer.size(), InputAssembler::kBufferLimit);
    EXPECT_EQ(buffer, noise.substr(noise.size() - InputAssembler::kBufferLimit));
    rig.port.feed("more");
    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_EQ(buffer.size(), InputAssembler::kBufferLimit);
    EXPECT_EQ(buffer.substr(buffer.size() - 4), "more");

    auto overflowNotes = [&rig] {
        int n = 0;
        for (const auto& m : rig.logs) n += m.rfind("Input without a terminator", 0) == 0;
        return n;
    };
    EXPECT_EQ(overflowNotes(), 1);
    EXPECT_EQ(rig.logs.back(), kPartial + "more");

    // The reader comes back to its senses: the newest text with its terminator is one message.
    rig.port.feed("\r");
    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_EQ(rig.logs.back().substr(0, 14), "Unidentified: ");
    EXPECT_EQ(rig.logs.back().size(), 14 + InputAssembler::kBufferLimit);
    EXPECT_TRUE(buffer.empty());

    // A pipeline that fails on the last message leaves nothing waiting: the next flood is noted.
    dispatch.during[dispatch.calls.size()] = [] { throw std::runtime_error("pipeline failed"); };
    dispatch.classes = {{"A", 1}};
    rig.port.feed("A\r");
    assembler.tick(rig.io, buffer, {}, dispatch);
    rig.port.feed(noise);
    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_EQ(overflowNotes(), 2);
}

TEST(InputAssembler, BinaryBytesAndNulPassThroughUnchanged) {
    ReaderRig rig;
    RecordingDispatch dispatch;
    const std::string message("A\0B\x80\xff\x01", 6);
    dispatch.classes = {{message, 1}};
    InputAssembler assembler;
    std::string buffer;
    rig.port.feed(message + "\r");
    assembler.tick(rig.io, buffer, {}, dispatch);
    EXPECT_EQ(dispatch.calls, (std::vector<std::string>{"cheque:" + message}));
}

TEST(CutMessages, SplitsAtEveryTerminator) {
    EXPECT_EQ(cutMessages("a\rb\r", "\r"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(cutMessages("a\r\r", "\r"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(cutMessages("\r", "\r"), std::vector<std::string>{});
    EXPECT_EQ(cutMessages("a\r\nb\r\n", "\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(cutMessages("a\rb", "\r"), std::vector<std::string>{});
    EXPECT_EQ(cutMessages("ab", ""), std::vector<std::string>{"ab"});
}

}  // namespace
}  // namespace korvex
