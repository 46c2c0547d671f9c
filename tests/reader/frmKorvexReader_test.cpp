#include <gtest/gtest.h>

#include "app/frmKorvex.h"
#include "reader/ReaderRig.h"
#include "support/RecordingDebugSink.h"

namespace korvex {
namespace {

struct Window {
    test::ReaderRig rig;
    test::RecordingDebugSink debug;
    frmKorvex form;
    static Services services(test::ReaderRig& r, DebugSink& d) {
        Services s;
        s.clock = &r.clock;
        s.debug = &d;
        s.ui = &r.ui;
        s.serial = &r.port;
        return s;
    }
    static ProgramInfo program(const std::filesystem::path& folder) {
        ProgramInfo p;
        p.folder = folder;
        return p;
    }
    Window() : form(services(rig, debug), program(rig.folder.path())) {
        form.global().TerminationString = "\r";
    }
};

TEST(frmKorvexReader, CommEventsAreLogged) {
    Window w;
    w.form.OnComm(1006);
    EXPECT_TRUE(w.debug.contains("Comm event: 1006"));
}

TEST(frmKorvexReader, SetUpCommandsUseTheSettings) {
    Window w;
    w.form.global().MSRTracks = "1,3";
    w.form.global().TerminationString = "\r\n";
    w.form.SendTrackCommand();
    w.form.SendImageSwitch();
    EXPECT_EQ(w.rig.port.written, (std::vector<std::string>{"HW00010100\r\n", "SWE 00000100\r\n"}));
}

TEST(frmKorvexReader, AFailedIdentificationEndsTheRun) {
    Window w;
    EXPECT_FALSE(w.form.CheckIsMagtek());
    EXPECT_TRUE(w.form.ended());
    EXPECT_EQ(w.rig.ui.endedWith.size(), 1u);
    EXPECT_TRUE(w.rig.ui.trayIconRemoved);
    EXPECT_TRUE(w.rig.folder.exists("Korvex.shutdown"));
}

TEST(frmKorvexReader, ScanOverrideImagesAreNamedByTheMoment) {
    Window w;
    w.form.profile().ScanOverrideFileNameTemplate = "scans\\{YYYY}{MM}{DD}_{HH}{NN}{SS}.tif";
    w.rig.port.responder = [](const std::string& sent) -> std::string {
        if (sent == "IS\r") return "IM1,4,F4\r";
        return sent == "TI F4\r" ? "SCAN" : "";
    };
    w.form.GetDocumentImage();
    EXPECT_EQ(w.rig.folder.read("scans/20261206_103000.tif"), "SCAN");
}

}  // namespace
}  // namespace korvex
