#include "reader/DocumentImages.h"

#include <gtest/gtest.h>

#include "reader/ReaderRig.h"
#include "support/FakeProcessLauncher.h"

namespace korvex {
namespace {

using test::FakeProcessLauncher;
using test::ReaderRig;

// A reader that holds `image` ("" = none) for every request.
void holdImage(ReaderRig& rig, const std::string& image) {
    rig.port.responder = [image](const std::string& sent) -> std::string {
        if (sent == "IS\r") {
            return image.empty() ? "MN0,0,0\r" : "IM1," + std::to_string(image.size()) + ",F4\r";
        }
        if (sent == "TI F4\r") return image;
        return {};
    };
}

struct BackSide {
    ReaderRig rig;
    GlobalSettings global;
    ProfileSettings profile;
    FakeProcessLauncher launcher;
    int unreadable = 0;

    // A front scanned `secondsAgo` before now, with a back awaited under `pending`.
    BackSide(int64_t secondsAgo, int32_t timeout, const std::string& pending) {
        global.FrontScanTime =
            LocalDateTime::fromSerialSeconds(rig.clock.now().serialSeconds() - secondsAgo);
        global.PendingBackImageFile = pending;
        global.FrontImageFile = "front.jpg";
        profile.ChequeBackTimeout = timeout;
        profile.LetUserFillDetails = 1;
        holdImage(rig, "BACK");
    }
    void scanDocumentWithoutInk() {
        GetBacksideImage(rig.io, global, profile, &launcher, [this] { ++unreadable; });
    }
};

TEST(GetBacksideImage, TheTimeLimitDecidesBetweenBackSideAndUnreadableCheque) {
    struct Case {
        const char* name;
        int64_t secondsAgo;
        int32_t timeout;
        std::string pending;
        uint8_t letUserFill;
        bool saved;
        int unreadable;
    };
    const std::vector<Case> cases = {
        {"60 s with a limit of 60", 60, 60, "back.jpg", 1, true, 0},
        {"61 s with a limit of 60", 61, 60, "back.jpg", 1, false, 1},
        {"no limit, a day later", 86400, -1, "back.jpg", 1, true, 0},
        {"backs switched off", 1, 0, "back.jpg", 1, false, 1},
        {"nothing awaited", 1, 60, "", 1, false, 1},
        {"too late and no manual entry", 61, 60, "back.jpg", 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BackSide t(c.secondsAgo, c.timeout, c.pending);
        t.profile.LetUserFillDetails = c.letUserFill;
        t.scanDocumentWithoutInk();
        EXPECT_EQ(t.rig.folder.exists("back.jpg"), c.saved);
        if (c.saved) {
            EXPECT_EQ(t.rig.folder.read("back.jpg"), "BACK");
        }
        EXPECT_EQ(t.unreadable, c.unreadable);
        // Saved or not, the document ends the wait.
        EXPECT_EQ(t.global.PendingBackImageFile, "");
        EXPECT_EQ(t.rig.ui.fileXferShown.size(), c.saved ? 1u : 0u);
    }
}

TEST(GetBacksideImage, NoMergeWithoutANewBackOrWithoutTheFront) {
    struct Case {
        const char* name;
        std::string readerImage;
        bool frontExists;
    };
    for (const Case& c : {Case{"the reader has no image; an old back is lying there", "", true},
                          Case{"the front image is missing", "BACK", false}}) {
        SCOPED_TRACE(c.name);
        BackSide t(5, 60, "back.jpg");
        t.profile.CombineChequeImages = true;
        holdImage(t.rig, c.readerImage);
        std::filesystem::create_directory(t.rig.folder / "netpbm");
        t.rig.folder.write("netpbm/tmp-back.jpg", "OLD BACK");
        t.rig.folder.write("netpbm/tmp-front.jpg", "OLD FRONT");
        if (c.frontExists) t.rig.folder.write("front.jpg", "FRONT");
        t.scanDocumentWithoutInk();
        EXPECT_TRUE(t.launcher.runs.empty());
        EXPECT_NE(t.rig.folder.read("netpbm/tmp-back.jpg"), "OLD BACK");
        EXPECT_FALSE(t.rig.folder.exists("netpbm/tmp-front.jpg"));
        EXPECT_EQ(t.global.PendingBackImageFile, "");
    }
}

TEST(GetDocumentImage, SavesUnderTheGivenName) {
    ReaderRig rig;
    holdImage(rig, "SCAN");
    GetDocumentImage(rig.io, "scans\\20261206_103000.tif");
    EXPECT_EQ(rig.folder.read("scans/20261206_103000.tif"), "SCAN");
    EXPECT_EQ(rig.ui.fileXferShown, std::vector<std::string>{"scans\\20261206_103000.tif"});
}

}  // namespace
}  // namespace korvex
