#include "reader/ReaderSetup.h"

#include <gtest/gtest.h>

#include "reader/ReaderRig.h"
#include "reader/SerialSettings.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using test::ReaderRig;

// A reader that answers like a MICR reader, but only while the line runs at its rate.
void answerAtRate(ReaderRig& rig, const std::string& rate) {
    rig.port.responder = [&rig, rate](const std::string& sent) -> std::string {
        if (lineSettingsText(rig.port.settings()).rfind(rate + ",", 0) != 0) return {};
        static const std::map<std::string, std::string> answers = {
            {"VR\r", "Version 2.04 MICRImage\r"},
            {"SWA\r", "SWA=00100000\r"},
            {"SWB\r", "SWB=01000001\r"},
            {"SWC\r", "SWC=00000000\r"},
            {"HW\r", "HW=0000 1000\r"},
            {"FC 00 00\r", "OK\r"},
            {"FC\r", "OK\r"}};
        const auto it = answers.find(sent);
        return it == answers.end() ? std::string() : it->second;
    };
}

const std::vector<std::string> kIdentification = {"bla\r", "VR\r", "SWA\r",      "SWB\r",
                                                  "SWC\r", "HW\r", "FC 00 00\r", "FC\r"};

TEST(CheckIsMagtek, FindsTheReaderAtEitherRate) {
    struct Case {
        const char* name;
        std::string configured, readerRate;
        bool identified;
        std::string finalSettings;
        std::size_t commands;
        int64_t slept;
    };
    const std::vector<Case> cases = {
        {"reader at the configured rate", "9600,n,8,1", "9600", true, "9600,n,8,1", 8, 1500},
        {"9600 configured, reader at 115200", "9600,n,8,1", "115200", true, "115200,n,8,1", 10,
         4500},
        {"115200 configured, reader at 9600", "115200,e,7,2", "9600", true, "9600,e,7,2", 10, 4500},
        {"a silent reader: about 6 s of reads", "9600,n,8,1", "none", false, "115200,n,8,1", 4,
         6000},
        {"another rate is tried twice as it is", "19200,n,8,1", "115200", false, "19200,n,8,1", 4,
         6000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderRig rig;
        rig.port.setSettings(*parseLineSettings(c.configured));
        rig.ui.timerEnabled = true;
        answerAtRate(rig, c.readerRate);
        EXPECT_EQ(CheckIsMagtek(rig.io), c.identified);
        EXPECT_EQ(lineSettingsText(rig.port.settings()), c.finalSettings);
        EXPECT_EQ(rig.port.written.size(), c.commands);
        EXPECT_EQ(rig.sleptMs(), c.slept);
        EXPECT_TRUE(rig.port.isOpen());
        if (c.identified) {
            EXPECT_TRUE(rig.ui.messageBoxes.empty());
            EXPECT_EQ(rig.programEnds, 0);
            const std::vector<std::string> last(rig.port.written.end() - 8, rig.port.written.end());
            EXPECT_EQ(last, kIdentification);
        } else {
            ASSERT_EQ(rig.ui.messageBoxes.size(), 1u);
            EXPECT_EQ(rig.ui.messageBoxes[0].title, cp1255::fromUtf8("שגיאה בזיהוי הקורא"));
            EXPECT_EQ(rig.ui.messageBoxes[0].text,
                      cp1255::fromUtf8("הקורא המחובר למערכת אינו קורא מקורי של Magtek, אינו מהדגם "
                                       "המתאים או שאינו תקין. אנא צור קשר עם Ovra בטלפון "
                                       "03-5550123."));
            EXPECT_EQ(rig.ui.messageBoxes[0].icon, MsgIcon::Stop);
            EXPECT_FALSE(rig.ui.timerEnabled);
            EXPECT_EQ(rig.programEnds, 1);
        }
    }
}

TEST(CheckIsMagtek, AnyWrongReplyFailsTheAttempt) {
    // Each case spoils one answer of a reader that otherwise passes at both rates.
    const std::vector<std::pair<std::string, std::string>> spoiled = {{"VR\r", "Version2.04\r"},
                                                                      {"SWA\r", "SWA=1000001\r"},
                                                                      {"SWB\r", "SWB=20000000\r"},
                                                                      {"SWC\r", "SWC=00000000\r\r"},
                                                                      {"HW\r", "HW=0000 100\r"}};
    for (const auto& [command, reply] : spoiled) {
        SCOPED_TRACE(command);
        ReaderRig rig;
        std::map<std::string, std::string> answers = {{"VR\r", "Version 1\r"},
                                                      {"SWA\r", "SWA=00000000\r"},
                                                      {"SWB\r", "SWB=00000000\r"},
                                                      {"SWC\r", "SWC=11111111\r"},
                                                      {"HW\r", "HW=0000 1000\r"}};
        answers[command] = reply;
        rig.port.responder = [answers](const std::string& sent) {
            const auto it = answers.find(sent);
            return it == answers.end() ? std::string() : it->second;
        };
        EXPECT_FALSE(CheckIsMagtek(rig.io));
        EXPECT_EQ(rig.programEnds, 1);
    }
}

TEST(CheckIsMagtek, APortThatWillNotReopenIsReportedAsSuch) {
    ReaderRig rig;
    rig.port.refuseOpen = true;
    rig.port.openError = {8002, "QSerialPort", "gone"};
    EXPECT_FALSE(CheckIsMagtek(rig.io));
    ASSERT_EQ(rig.ui.messageBoxes.size(), 1u);
    EXPECT_EQ(rig.ui.messageBoxes[0].title, cp1255::fromUtf8("שגיאת תקשורת"));
    EXPECT_NE(rig.ui.messageBoxes[0].text.find("8002"), std::string::npos);
    EXPECT_EQ(rig.programEnds, 1);
}

TEST(ReaderSetup, RegisterReplies) {
    struct Case {
        std::string name, reply;
        bool passes;
    };
    const std::vector<Case> cases = {
        {"SWA", "SWA=10000001\r", true},   {"SWA", "SWA=1000001\r", false},
        {"SWA", "SWA=20000000\r", false},  {"SWA", "SWB=10000001\r", false},
        {"SWB", "SWB=11111111\r", true},   {"SWC", "SWC=00000000", false},
        {"HW", "HW=0000 1000\r", true},    {"HW", " H W = 0 0 0 0 1 0 0 0 \r", true},
        {"SWA", "SWA=0000 1000\r", false}, {"HW", "HW=00001000\r\r", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(registerReplyPasses(c.name, c.reply, "\r"), c.passes) << c.name << " " << c.reply;
    }
}

TEST(ReaderSetup, TrackMaskAndRateSwitch) {
    const std::vector<std::pair<std::string, std::string>> tracks = {{"2", "HW00001000"},
                                                                     {"1,3", "HW00010100"},
                                                                     {"", "HW00000000"},
                                                                     {"123", "HW00011100"},
                                                                     {"4", "HW00000000"}};
    for (const auto& [setting, command] : tracks) EXPECT_EQ(trackCommand(setting), command);

    const std::vector<std::pair<std::string, std::string>> rates = {
        {"9600,n,8,1", "115200,n,8,1"},
        {"115200,o,7,1.5", "9600,o,7,1.5"},
        {"19200,n,8,1", "19200,n,8,1"},
        {"96000,n,8,1", "96000,n,8,1"}};
    for (const auto& [from, to] : rates) {
        EXPECT_EQ(lineSettingsText(otherRateSettings(*parseLineSettings(from))), to);
    }
}

TEST(ReaderSetup, StartUpCommandsAreSentWithTheTerminator) {
    ReaderRig rig;
    rig.io.terminator = "\r\n";
    EXPECT_TRUE(SendTrackCommand(rig.io, "1,2"));
    EXPECT_TRUE(SendImageSwitch(rig.io));
    EXPECT_EQ(rig.port.written, (std::vector<std::string>{"HW00011000\r\n", "SWE 00000100\r\n"}));
    EXPECT_TRUE(rig.clock.sleeps.empty());
    rig.port.close();
    EXPECT_FALSE(SendImageSwitch(rig.io));
}

}  // namespace
}  // namespace korvex
