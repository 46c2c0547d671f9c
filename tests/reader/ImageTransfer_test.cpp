#include "reader/ImageTransfer.h"

#include <gtest/gtest.h>

#include "reader/ReaderRig.h"

namespace korvex {
namespace {

using test::ReaderRig;

std::string imageBytes(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xff);
    return bytes;
}

// A reader holding `image` and announcing `announced` bytes; it sends `sendNow` bytes of the image
// at "TI F4" and the rest at the moments given (seconds of sleeping after the request).
struct ImageReader {
    std::string sizeReply;
    std::string image;
    std::size_t sendNow;
};

void serve(ReaderRig& rig, const ImageReader& reader) {
    rig.port.responder = [&rig, reader](const std::string& sent) -> std::string {
        if (sent == "IS\r") return reader.sizeReply;
        if (sent == "TI F4\r") return reader.image.substr(0, reader.sendNow);
        return {};
    };
}

TEST(ReceiveImage, ANoImageReplyChangesNothing) {
    ReaderRig rig;
    serve(rig, {"MN0,0,0\r", "", 0});
    std::string name = "front.tif";
    const auto result = ReceiveImage(rig.io, name, false);
    EXPECT_FALSE(result.readerHadImage);
    EXPECT_EQ(rig.folder.entries(), std::vector<std::string>{});
    EXPECT_TRUE(rig.ui.fileXferShown.empty());
    EXPECT_TRUE(rig.ui.timerChanges.empty());
    EXPECT_EQ(rig.port.modeHistory,
              std::vector<SerialPort::InputMode>{SerialPort::InputMode::Text});
    EXPECT_EQ(rig.port.written, std::vector<std::string>{"IS\r"});
}

TEST(ReceiveImage, AReplyWithoutThreeFieldsMeansNoTransfer) {
    for (const std::string reply : {"IM1,5000\r", "IM1,5000,F4,x\r", "IM1,abc,F4\r", "garbage\r"}) {
        SCOPED_TRACE(reply);
        ReaderRig rig;
        serve(rig, {reply, imageBytes(5000), 5000});
        std::string name = "front.tif";
        const auto result = ReceiveImage(rig.io, name, false);
        EXPECT_EQ(result.announced, 0);
        EXPECT_FALSE(rig.folder.exists("front.tif"));
        EXPECT_EQ(rig.ui.timerChanges, std::vector<bool>{true});
        EXPECT_EQ(rig.port.inputMode(), SerialPort::InputMode::Text);
        EXPECT_EQ(rig.port.written, std::vector<std::string>{"IS\r"});
    }
}

TEST(ReceiveImage, AShortImageIsWrittenAfterFifteenQuietSeconds) {
    ReaderRig rig;
    rig.ui.detailsExists = true;
    const std::string image = imageBytes(50000);
    serve(rig, {"IM1, 50000 bytes,F4\r", image, 20000});
    std::vector<SerialPort::InputMode> modeDuringTransfer;
    bool timerDuringTransfer = true;
    rig.ui.onDoEvents = [&] {
        modeDuringTransfer.push_back(rig.port.inputMode());
        timerDuringTransfer = timerDuringTransfer && rig.ui.timerEnabled;
    };
    rig.ui.timerEnabled = true;
    std::string name = "front.tif";
    const auto result = ReceiveImage(rig.io, name, false);

    EXPECT_EQ(result.announced, 50000);
    EXPECT_EQ(result.received, 20000);
    EXPECT_EQ(rig.folder.read("front.tif"), image.substr(0, 20000));
    for (const auto& [limit, got] : rig.port.reads) {
        if (limit != 0) {
            EXPECT_LE(got, 1024u);
        }
    }
    // 20 chunks: the last data came at once, then 15 s of waiting.
    EXPECT_GE(rig.sleptMs(), 15000 + 0);
    EXPECT_LT(rig.sleptMs(), 15000 + 50);
    EXPECT_EQ(rig.ui.fileXferShown, std::vector<std::string>{"front.tif"});
    ASSERT_EQ(rig.ui.fileXferProgressDrawn.size(), 20u);
    EXPECT_EQ(rig.ui.fileXferProgressDrawn.back().second, "40% ");
    EXPECT_DOUBLE_EQ(rig.ui.fileXferProgressDrawn.back().first, 0.4);
    EXPECT_EQ(rig.ui.fileXferCloses, 1);
    const std::string echo = "<<<20000 bytes of image data>>>\r\n";
    EXPECT_EQ(rig.ui.readerData, "IM1, 50000 bytes,F4\r" + echo);
    for (auto mode : modeDuringTransfer) EXPECT_EQ(mode, SerialPort::InputMode::Binary);
    EXPECT_FALSE(timerDuringTransfer);
    EXPECT_TRUE(rig.ui.timerEnabled);
    EXPECT_EQ(rig.port.inputMode(), SerialPort::InputMode::Text);
    EXPECT_EQ(rig.port.written, (std::vector<std::string>{"IS\r", "TI F4\r"}));
}

TEST(ReceiveImage, AWholeImageEndsTheTransferAtOnce) {
    ReaderRig rig;
    const std::string image = imageBytes(200000);
    serve(rig, {"IM1,200000,F4\r", image + "extra", image.size() + 5});
    std::string name = "big.tif";
    const auto result = ReceiveImage(rig.io, name, true);
    EXPECT_EQ(result.received, 200005);
    // Bytes beyond the announced size that came in the last read are kept.
    EXPECT_EQ(rig.folder.read("big.tif"), image + "extra");
    EXPECT_EQ(rig.sleptMs(), 0);
    EXPECT_TRUE(rig.ui.fileXferShown.empty());
    EXPECT_TRUE(rig.ui.fileXferProgressDrawn.empty());
    EXPECT_EQ(rig.ui.fileXferCloses, 0);
}

TEST(ReceiveImage, QuestionMarksInTheNameBecomeHashes) {
    ReaderRig rig;
    serve(rig, {"IM1,3,F4\r", "abc", 3});
    std::string name = "0012?45_99.tif";
    ReceiveImage(rig.io, name, true);
    EXPECT_EQ(name, "0012#45_99.tif");
    EXPECT_EQ(rig.folder.read("0012#45_99.tif"), "abc");
}

TEST(ReceiveImage, MissingFoldersAreCreatedAndUnwritableNamesLogged) {
    ReaderRig rig;
    serve(rig, {"IM1,3,F4\r", "abc", 3});
    std::string name = "images\\2026\\12\\a.tif";
    EXPECT_TRUE(ReceiveImage(rig.io, name, true).written);
    EXPECT_EQ(rig.folder.read("images/2026/12/a.tif"), "abc");

    rig.folder.write("plain", "a file, not a folder");
    std::string blocked = "plain\\b.tif";
    EXPECT_FALSE(ReceiveImage(rig.io, blocked, true).written);
    EXPECT_TRUE(rig.logged("Could not write the image file plain\\b.tif"));
    EXPECT_EQ(rig.port.inputMode(), SerialPort::InputMode::Text);
}

TEST(ReceiveImage, TheSizeIsAskedOnceAndReadAgainAfterAPause) {
    ReaderRig rig;
    // The reply comes only after the first read has given up (300 ms) and the pause began.
    rig.port.responder = [&rig](const std::string& sent) -> std::string {
        if (sent == "TI F4\r") return "abcd";
        return {};
    };
    rig.port.onPoll = [&rig, sent = false]() mutable {
        if (!sent && rig.sleptMs() >= 400) {
            rig.port.feed("IM1,4,F4\r");
            sent = true;
        }
    };
    std::string name = "late.tif";
    ReceiveImage(rig.io, name, true);
    EXPECT_TRUE(rig.logged("Retrying to get image size"));
    EXPECT_EQ(rig.folder.read("late.tif"), "abcd");
    EXPECT_EQ(std::count(rig.port.written.begin(), rig.port.written.end(), "IS\r"), 1);
}

TEST(ReceiveImage, NoSizeAtAllAfterTheRetryMeansNoTransfer) {
    ReaderRig rig;
    std::string name = "none.tif";
    ReceiveImage(rig.io, name, false);
    EXPECT_EQ(rig.sleptMs(), 300 + 100 + 600);
    EXPECT_FALSE(rig.folder.exists("none.tif"));
    EXPECT_EQ(rig.ui.timerChanges, std::vector<bool>{true});
}

TEST(ReceiveImage, MidnightDoesNotCutATransferShortNorMakeItEndless) {
    struct Case {
        const char* name;
        int64_t secondPartAfterMs;  // of sleeping; -1: never
        std::size_t expected;
        int64_t endsAfterMs;
    };
    for (const Case& c : {Case{"the rest comes 14 s later, after midnight", 14000, 20000, 14000},
                          Case{"the reader stops before midnight", -1, 10000, 15000}}) {
        SCOPED_TRACE(c.name);
        ReaderRig rig;
        rig.clock.set({2026, 12, 31, 23, 59, 50});
        const std::string image = imageBytes(20000);
        serve(rig, {"IM1,20000,F4\r", image, 10000});
        rig.port.onPoll = [&rig, &c, &image, sent = false]() mutable {
            if (!sent && c.secondPartAfterMs >= 0 && rig.sleptMs() >= c.secondPartAfterMs) {
                rig.port.feed(image.substr(10000));
                sent = true;
            }
        };
        std::string name = "night.tif";
        ReceiveImage(rig.io, name, true);
        EXPECT_EQ(rig.folder.read("night.tif").size(), c.expected);
        EXPECT_GE(rig.sleptMs(), c.endsAfterMs);
        EXPECT_LT(rig.sleptMs(), c.endsAfterMs + 50);
    }
}

TEST(DrawProgress, WholePercentagesOverAClampedBar) {
    struct Case {
        int32_t minimum, maximum, value;
        double fraction;
        std::string text;
    };
    const std::vector<Case> cases = {
        {0, 100, 37, 0.37, "37% "}, {0, 3, 1, 1.0 / 3, "33% "},    {0, 3, 2, 2.0 / 3, "67% "},
        {0, 200, 1, 0.005, "1% "},  {0, 50000, 50000, 1, "100% "}, {0, 10, 12, 1, "100% "},
        {10, 20, 5, 0, "0% "},      {5, 5, 5, 0, "0% "},
    };
    for (const auto& c : cases) {
        const Progress p = DrawProgress(c.minimum, c.maximum, c.value);
        EXPECT_DOUBLE_EQ(p.fraction, c.fraction) << c.value << "/" << c.maximum;
        EXPECT_EQ(p.text, c.text) << c.value << "/" << c.maximum;
    }
}

}  // namespace
}  // namespace korvex
