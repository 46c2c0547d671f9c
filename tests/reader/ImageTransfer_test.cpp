#include "reader/ImageTransfer.h"

#include <gtest/gtest.h>

#include "reader/DocumentImages.h"
#include "reader/ReaderRig.h"
#include "support/FakeProcessLauncher.h"

namespace korvex {
namespace {

using test::ReaderRig;
using Mode = SerialPort::InputMode;

std::string imageBytes(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xff);
    return bytes;
}

// A reader that answers "IS" with `sizeReply` and sends `sent` at "TI F4".
void serve(ReaderRig& rig, const std::string& sizeReply, const std::string& sent) {
    rig.answer({{"IS\r", sizeReply}, {"TI F4\r", sent}});
}

TEST(ReceiveImage, NoUsableSizeMeansNoTransfer) {
    struct Case {
        std::string reply;
        std::vector<bool> timerChanges;  // "MN0" touches nothing; anything else restores
        int64_t slept;
    };
    const Case cases[] = {
        {"MN0,0,0\r", {}, 0}, {"IM1,5000\r", {true}, 0}, {"", {true}, 300 + 100 + 600}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        ReaderRig rig;
        if (!c.reply.empty()) serve(rig, c.reply, imageBytes(5000));
        std::string name = "front.tif";
        const auto result = ReceiveImage(rig.io, name, false);
        EXPECT_FALSE(result.readerHadImage);
        EXPECT_TRUE(rig.folder.entries().empty());
        EXPECT_EQ(rig.ui.timerChanges, c.timerChanges);
        EXPECT_EQ(rig.port.modeHistory.back(), Mode::Text);
        EXPECT_EQ(rig.sleptMs(), c.slept);
    }
}

TEST(ReceiveImage, AShortImageIsWrittenAfterFifteenQuietSeconds) {
    ReaderRig rig;
    const std::string image = imageBytes(50000);
    serve(rig, "IM1, 50000 bytes,F4\r", image.substr(0, 20000));
    // While it waits for the rest, the port reads bytes and no polling tick can come.
    bool binaryWithoutTicks = true;
    rig.ui.onDoEvents = [&] {
        binaryWithoutTicks &= rig.port.inputMode() == Mode::Binary && !rig.ui.timerEnabled;
    };
    rig.ui.timerEnabled = true;
    std::string name = "front.tif";
    const auto result = ReceiveImage(rig.io, name, false);

    EXPECT_EQ(result.announced, 50000);
    EXPECT_EQ(result.received, 20000);
    EXPECT_EQ(rig.folder.read("front.tif"), image.substr(0, 20000));
    // 20 chunks at once, then 15 s of waiting.
    EXPECT_GE(rig.sleptMs(), 15000);
    EXPECT_LT(rig.sleptMs(), 15000 + 50);
    EXPECT_EQ(rig.ui.fileXferShown, std::vector<std::string>{"front.tif"});
    ASSERT_EQ(rig.ui.fileXferProgressDrawn.size(), 20u);
    EXPECT_EQ(rig.ui.fileXferProgressDrawn.back(), std::make_pair(0.4, std::string("40% ")));
    EXPECT_TRUE(binaryWithoutTicks);
    EXPECT_TRUE(rig.ui.timerEnabled);
    EXPECT_EQ(rig.port.inputMode(), Mode::Text);
    EXPECT_EQ(rig.port.written, test::list("IS\r|TI F4\r"));
}

TEST(ReceiveImage, AWholeImageEndsAtOnceUnderItsCleanedNameInNewFolders) {
    ReaderRig rig;
    const std::string image = imageBytes(200000) + "extra";
    serve(rig, "IM1,200000,F4\r", image);
    std::string name = "images\\2026\\0012?45_99.tif";
    EXPECT_EQ(ReceiveImage(rig.io, name, true).received, 200005);
    EXPECT_EQ(name, "images\\2026\\0012#45_99.tif");
    // Bytes beyond the announced size that came in the last read are kept.
    EXPECT_EQ(rig.folder.read("images/2026/0012#45_99.tif"), image);
    EXPECT_EQ(rig.sleptMs(), 0);
    EXPECT_TRUE(rig.ui.fileXferShown.empty());

    rig.folder.write("plain", "a file, not a folder");
    std::string blocked = "plain\\b.tif";
    EXPECT_FALSE(ReceiveImage(rig.io, blocked, true).written);
    EXPECT_TRUE(rig.logged("Could not write the image file plain\\b.tif"));
    EXPECT_EQ(rig.port.inputMode(), Mode::Text);
}

TEST(ReceiveImage, TheSizeIsAskedOnceAndReadAgainAfterAPause) {
    ReaderRig rig;
    rig.answer({{"TI F4\r", "abcd"}});
    // The reply comes only after the first read has given up (300 ms) and the pause began.
    rig.port.onPoll = [&rig, sent = false]() mutable {
        if (!sent && rig.sleptMs() >= 400) rig.port.feed("IM1,4,F4\r");
        sent = sent || rig.sleptMs() >= 400;
    };
    std::string name = "late.tif";
    ReceiveImage(rig.io, name, true);
    EXPECT_TRUE(rig.logged("Retrying to get image size"));
    EXPECT_EQ(rig.folder.read("late.tif"), "abcd");
    EXPECT_EQ(std::count(rig.port.written.begin(), rig.port.written.end(), "IS\r"), 1);
}

TEST(ReceiveImage, MidnightDoesNotCutATransferShortNorMakeItEndless) {
    // The rest comes 14 s later, after midnight; or the reader stops before midnight.
    using Case = std::tuple<int64_t, std::size_t, int64_t>;  // rest after, size, ends after
    for (const auto& [restAfterMs, expected, endsAfterMs] :
         std::vector<Case>{{14000, 20000, 14000}, {-1, 10000, 15000}}) {
        SCOPED_TRACE(restAfterMs);
        ReaderRig rig;
        rig.clock.set({2026, 12, 31, 23, 59, 50});
        const std::string image = imageBytes(20000);
        serve(rig, "IM1,20000,F4\r", image.substr(0, 10000));
        rig.port.onPoll = [&rig, &image, after = restAfterMs, sent = false]() mutable {
            if (!sent && after >= 0 && rig.sleptMs() >= after) rig.port.feed(image.substr(10000));
            sent = sent || (after >= 0 && rig.sleptMs() >= after);
        };
        std::string name = "night.tif";
        ReceiveImage(rig.io, name, true);
        EXPECT_EQ(rig.folder.read("night.tif").size(), expected);
        EXPECT_GE(rig.sleptMs(), endsAfterMs);
        EXPECT_LT(rig.sleptMs(), endsAfterMs + 50);
    }
}

// A front scanned `secondsAgo` before now, with a back awaited under `pending`.
struct BackSide {
    test::ReaderRig rig;
    RunState run;
    ProfileSettings profile;
    test::FakeProcessLauncher launcher;
    int unreadable = 0;

    BackSide(int64_t secondsAgo, int32_t timeout, const std::string& pending) {
        run.FrontScanTime =
            LocalDateTime::fromSerialSeconds(rig.clock.now().serialSeconds() - secondsAgo);
        run.PendingBackImageFile = pending;
        run.FrontImageFile = "front.jpg";
        profile.ChequeBackTimeout = timeout;
        rig.holdImage("BACK");
    }
    void scanDocumentWithoutInk() {
        GetBacksideImage(rig.io, run, profile, launcher, [this] { ++unreadable; });
    }
};

TEST(GetBacksideImage, TheTimeLimitDecidesBetweenBackSideAndUnreadableCheque) {
    struct Case {
        int64_t secondsAgo;
        int32_t timeout;
        std::string pending;
        uint8_t letUserFill;
        bool saved;
        int unreadable;
    };
    // The 60 s limit itself is the scenario tests' table. Here: no limit, a day later; backs
    // switched off; nothing awaited; too late and no manual entry.
    const Case cases[] = {{86400, -1, "back.jpg", 1, true, 0},
                          {1, 0, "back.jpg", 1, false, 1},
                          {1, 60, "", 1, false, 1},
                          {61, 60, "back.jpg", 0, false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.secondsAgo) + " s, limit " + std::to_string(c.timeout));
        BackSide t(c.secondsAgo, c.timeout, c.pending);
        t.profile.LetUserFillDetails = c.letUserFill;
        t.scanDocumentWithoutInk();
        EXPECT_EQ(t.rig.folder.read("back.jpg"), c.saved ? "BACK" : "");
        EXPECT_EQ(t.unreadable, c.unreadable);
        EXPECT_EQ(t.run.PendingBackImageFile, "");  // saved or not, the wait ends
    }
}

TEST(GetBacksideImage, NoMergeWithoutANewBack) {
    // The reader has no image while an old back is lying there.
    BackSide t(5, 60, "back.jpg");
    t.profile.CombineChequeImages = true;
    t.rig.holdImage("");
    t.rig.folder.write("netpbm/tmp-back.jpg", "OLD BACK");
    t.rig.folder.write("front.jpg", "FRONT");
    t.scanDocumentWithoutInk();
    EXPECT_TRUE(t.launcher.runs.empty());
    EXPECT_FALSE(t.rig.folder.exists("netpbm/tmp-back.jpg"));
    EXPECT_EQ(t.run.PendingBackImageFile, "");
}

}  // namespace
}  // namespace korvex
