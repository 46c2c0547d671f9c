#include "reader/DocumentImages.h"

#include <gtest/gtest.h>

#include "reader/ReaderRig.h"
#include "support/FakeProcessLauncher.h"

namespace korvex {
namespace {

// A front scanned `secondsAgo` before now, with a back awaited under `pending`.
struct BackSide {
    test::ReaderRig rig;
    GlobalSettings global;
    ProfileSettings profile;
    test::FakeProcessLauncher launcher;
    int unreadable = 0;

    BackSide(int64_t secondsAgo, int32_t timeout, const std::string& pending) {
        global.FrontScanTime =
            LocalDateTime::fromSerialSeconds(rig.clock.now().serialSeconds() - secondsAgo);
        global.PendingBackImageFile = pending;
        global.FrontImageFile = "front.jpg";
        profile.ChequeBackTimeout = timeout;
        rig.holdImage("BACK");
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
        EXPECT_EQ(t.rig.folder.read("back.jpg"), c.saved ? "BACK" : "");
        EXPECT_EQ(t.unreadable, c.unreadable);
        EXPECT_EQ(t.global.PendingBackImageFile, "");  // saved or not, the wait ends
        EXPECT_EQ(t.rig.ui.fileXferShown.size(), c.saved ? 1u : 0u);
    }
}

TEST(GetBacksideImage, NoMergeWithoutANewBackOrWithoutTheFront) {
    // The reader has no image while an old back is lying there; or the front image is missing.
    for (const auto& [readerImage, frontExists] :
         std::vector<std::pair<std::string, bool>>{{"", true}, {"BACK", false}}) {
        SCOPED_TRACE(readerImage);
        BackSide t(5, 60, "back.jpg");
        t.profile.CombineChequeImages = true;
        t.rig.holdImage(readerImage);
        t.rig.folder.write("netpbm/tmp-back.jpg", "OLD BACK");
        t.rig.folder.write("netpbm/tmp-front.jpg", "OLD FRONT");
        if (frontExists) t.rig.folder.write("front.jpg", "FRONT");
        t.scanDocumentWithoutInk();
        EXPECT_TRUE(t.launcher.runs.empty());
        EXPECT_NE(t.rig.folder.read("netpbm/tmp-back.jpg"), "OLD BACK");
        EXPECT_FALSE(t.rig.folder.exists("netpbm/tmp-front.jpg"));
        EXPECT_EQ(t.global.PendingBackImageFile, "");
    }
}

}  // namespace
}  // namespace korvex
