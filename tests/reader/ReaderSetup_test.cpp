#include "reader/ReaderSetup.h"

#include <gtest/gtest.h>

#include "app/frmKorvex.h"
#include "reader/ReadResponse.h"
#include "reader/ReaderRig.h"
#include "reader/SerialSettings.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

using test::ReaderRig;

TEST(CheckIsMagtek, FindsTheReaderAtEitherRate) {
    struct Case {
        const char* name;
        std::string configured, readerRate;
        bool identified;
        std::string finalSettings;
    };
    const std::vector<Case> cases = {
        {"at the configured rate", "9600,n,8,1", "9600", true, "9600,n,8,1"},
        {"9600 set, reader at 115200", "9600,n,8,1", "115200", true, "115200,n,8,1"},
        {"115200 set, reader at 9600", "115200,e,7,2", "9600", true, "9600,e,7,2"},
        {"a silent reader", "9600,n,8,1", "none", false, "115200,n,8,1"},
        {"another rate is tried twice", "19200,n,8,1", "115200", false, "19200,n,8,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderRig rig;
        rig.port.setSettings(*parseLineSettings(c.configured));
        rig.ui.timerEnabled = true;
        // The reader answers only while the line runs at its rate.
        rig.port.responder = [&rig, rate = c.readerRate + ","](const std::string& sent) {
            const auto it = test::kReaderAnswers.find(sent);
            const bool atRate = lineSettingsText(rig.port.settings()).rfind(rate, 0) == 0;
            return atRate && it != test::kReaderAnswers.end() ? it->second : std::string();
        };
        EXPECT_EQ(CheckIsMagtek(rig.io), c.identified);
        EXPECT_EQ(lineSettingsText(rig.port.settings()), c.finalSettings);
        EXPECT_TRUE(rig.port.isOpen());
        EXPECT_EQ(rig.programEnds, c.identified ? 0 : 1);
        EXPECT_EQ(rig.ui.timerEnabled, c.identified);
        ASSERT_EQ(rig.ui.messageBoxes.size(), c.identified ? 0u : 1u);
        if (c.identified) {
            EXPECT_EQ(std::vector(rig.port.written.end() - 8, rig.port.written.end()),
                      test::list("bla\r|VR\r|SWA\r|SWB\r|SWC\r|HW\r|FC 00 00\r|FC\r"));
        } else {
            EXPECT_EQ(rig.ui.messageBoxes[0].text,
                      cp1255::fromUtf8("הקורא המחובר למערכת אינו קורא מקורי של Magtek, אינו מהדגם "
                                       "המתאים או שאינו תקין. אנא צור קשר עם Ovra בטלפון "
                                       "03-5550123."));
        }
    }
}

TEST(CheckIsMagtek, AnyWrongReplyFailsTheAttempt) {
    // Rows "command>reply" for a reader that passes at both rates, but for this answer.
    for (const auto& row :
         test::list("VR\r>Version2.04\r|SWC\r>SWC=00000000\r\r|HW\r>HW=0000 100\r")) {
        test::ReaderRig rig;
        auto answers = test::kReaderAnswers;
        answers[row.substr(0, row.find('>'))] = row.substr(row.find('>') + 1);
        rig.answer(answers);
        EXPECT_FALSE(CheckIsMagtek(rig.io)) << row;
    }
}

TEST(ReaderSetup, RegisterRepliesAndTrackMask) {
    // Rows "name=reply" that pass (the reply's terminator added here); then ones that do not.
    for (const std::string row :
         {"SWA=SWA=10000001", "SWB=SWB=11111111", "HW= H W = 0 0 0 0 1 0 0 0 "})
        EXPECT_TRUE(registerReplyPasses(row.substr(0, row.find('=')),
                                        row.substr(row.find('=') + 1) + "\r", "\r"))
            << row;
    for (const std::string row :
         {"SWA=SWA=1000001\r", "SWA=SWA=20000000\r", "SWA=SWB=10000001\r", "SWC=SWC=00000000"})
        EXPECT_FALSE(
            registerReplyPasses(row.substr(0, row.find('=')), row.substr(row.find('=') + 1), "\r"))
            << row;
    for (const auto& row : test::list("2=HW00001000|1,3=HW00010100|=HW00000000|4=HW00000000"))
        EXPECT_EQ(trackCommand(row.substr(0, row.find('='))), row.substr(row.find('=') + 1));
}

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
        std::string terminator = "\r";
    };
    const std::vector<Case> cases = {
        {"no terminator: the total time", "0:SWA=1", 10, 1500, 1500, "SWA=1", 1500},
        {"pieces are joined", "0:Ver|20:sion 1\r|40:\n", 10, 1500, 1500, "Version 1\r\n", 40,
         "\r\n"},
        {"a shorter first-character limit", "200:late\r", 10, 100, 1500, "", 100},
        {"a zero poll interval still ends", "", 0, 5, 5, "", 5},
        {"an empty terminator: the first text", "20:x", 10, 100, 100, "x", 20, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderRig rig;
        rig.io.terminator = c.terminator;
        sendAt(rig, c.script);
        EXPECT_EQ(ReadResponse(rig.io, c.poll, c.first, c.total), c.reply);
        EXPECT_EQ(rig.sleptMs(), c.slept);
    }
}

TEST(ReadResponse, AClosedPortGivesNothingAfterTheLimit) {
    ReaderRig rig;
    rig.port.feed("unread\r");
    rig.port.close();
    EXPECT_EQ(ReadResponse(rig.io, 10, 100, 100), "");
    EXPECT_EQ(rig.sleptMs(), 100);
}

TEST(SerialSettings, AcceptedAndRefusedTextsAndDeviceNames) {
    // Rows "text=shown": the text the port shows in its messages, for each accepted setting.
    for (const auto& row : test::list(
             "115200,E,7,2=115200,e,7,2| 19200 , o , 8 , 1.5 =19200,o,8,1.5|300,S,8,2=300,s,8,2")) {
        const auto s = parseLineSettings(row.substr(0, row.find('=')));
        ASSERT_TRUE(s.has_value()) << row;
        EXPECT_EQ(lineSettingsText(*s), row.substr(row.find('=') + 1));
    }
    // Rows "text=why".
    for (const auto& row :
         test::list("9600,n,8=four parts|fast,n,8,1=baud rate|0,n,8,1=baud rate|"
                    "9600,x,8,1=parity|9600,n,6,1=data bits|9600,n,8,3=stop bits")) {
        std::string why;
        EXPECT_FALSE(parseLineSettings(row.substr(0, row.find('=')), &why).has_value()) << row;
        EXPECT_NE(why.find(row.substr(row.find('=') + 1)), std::string::npos) << why;
        EXPECT_NE(why.find("9600,n,8,1"), std::string::npos);
    }
    EXPECT_EQ(serialDeviceName(4, "", false) + "|" + serialDeviceName(12, "", true) + "|" +
                  serialDeviceName(1, "/dev/ttyUSB0", false) + "|" +
                  serialDeviceName(0, "", false) + "|" + serialDeviceName(-3, "", true),
              "/dev/ttyS3|COM12|/dev/ttyUSB0||");
}

struct Window {
    test::ReaderRig rig;
    frmKorvex form{rig.services(), [this] {
                       ProgramInfo p;
                       p.folder = rig.folder.path();
                       return p;
                   }()};
    Window() { setTermination("\r"); }
    void setTermination(const std::string& termination, const std::string& tracks = {}) {
        GlobalSettings g = form.global();
        g.TerminationString = termination;
        g.MSRTracks = tracks;
        form.setGlobalForTesting(g);
    }
};

TEST(frmKorvexReader, CommEventsAreLoggedOncePerChange) {
    Window w;
    w.rig.port.setCommEventHandler([&w](int code) { w.form.OnComm(code); });
    const auto logged = [&w] {
        std::string events;
        for (const auto& m : w.rig.debug.messages()) {
            if (m.rfind("Comm event: ", 0) == 0) events += m.substr(12) + " ";
        }
        return events;
    };
    for (const int code : {1006, 1006, 1006, 8010, 1006}) w.form.OnComm(code);
    EXPECT_EQ(logged(), "1006 8010 1006 ");
    // The device goes away during a tick's read, twice: each time the port is reopened, and
    // each failure of a new line is logged although its event is the same.
    for (int i = 0; i < 2; ++i) {
        w.rig.port.goneOnRead = true;
        w.form.Timer1_Timer();
    }
    EXPECT_EQ(logged(), "1006 8010 1006 8010 8010 ");
}

TEST(frmKorvexReader, SetUpCommandsUseTheSettings) {
    Window w;
    w.setTermination("\r\n", "1,3");
    w.form.SendTrackCommand();
    w.form.SendImageSwitch();
    EXPECT_EQ(w.rig.port.written, test::list("HW00010100\r\n|SWE 00000100\r\n"));
}

TEST(frmKorvexReader, AFailedIdentificationEndsTheRun) {
    Window w;
    EXPECT_FALSE(w.form.CheckIsMagtek());
    EXPECT_TRUE(w.rig.ui.trayIconRemoved);
    EXPECT_TRUE(w.rig.folder.exists("Korvex.shutdown"));
}

}  // namespace
}  // namespace korvex
