#include <gtest/gtest.h>

#include "app/frmKorvex.h"
#include "reader/ReaderRig.h"

namespace korvex {
namespace {

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
    EXPECT_EQ(w.rig.port.closeCount, 2);
    EXPECT_TRUE(w.rig.port.isOpen());
    EXPECT_FALSE(w.form.ended());
}

TEST(frmKorvexReader, SetUpCommandsUseTheSettings) {
    Window w;
    w.setTermination("\r\n", "1,3");
    w.form.SendTrackCommand();
    w.form.SendImageSwitch();
    EXPECT_EQ(w.rig.port.written, test::list("HW00010100\r\n|SWE 00000100\r\n"));
    EXPECT_TRUE(w.rig.clock.sleeps.empty());
}

TEST(frmKorvexReader, AFailedIdentificationEndsTheRun) {
    Window w;
    EXPECT_FALSE(w.form.CheckIsMagtek());
    EXPECT_TRUE(w.form.ended());
    EXPECT_EQ(w.rig.ui.endedWith.size(), 1u);
    EXPECT_TRUE(w.rig.ui.trayIconRemoved);
    EXPECT_TRUE(w.rig.folder.exists("Korvex.shutdown"));
}

}  // namespace
}  // namespace korvex
