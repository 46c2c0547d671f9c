#include <gtest/gtest.h>

#include <string>

#include "config/ConfigHarness.h"
#include "config/cInifile.h"

using namespace std::string_literals;

namespace korvex {
namespace {

using test::iniAt;

TEST(IniWrite, CreatesReplacesInPlaceAndKeepsEverythingElse) {
    test::TempFolder folder;
    cInifile ini = iniAt(folder / "new.ini", "A", "k");
    EXPECT_EQ(ini.LastReturnCode(), 0);
    ini.setValue("1");
    EXPECT_TRUE(ini.Success());
    ini.setKey("j");
    ini.setValue("2");
    ini.setSection("B");
    ini.setValue("3");
    EXPECT_EQ(folder.read("new.ini"), "[A]\r\nk=1\r\nj=2\r\n[B]\r\nj=3\r\n");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"new.ini"}));  // no temporary left
    // Blanks around a value, and quotes that are part of it, survive inside quotes of their own.
    for (const std::string value : {" 3 ", "'q'", "\"\"", "\t"}) {
        ini.setValue(value);
        EXPECT_EQ(ini.Value(), value);
    }

    // Every byte of the old lines is kept (a byte-order mark, binary, NUL); LF-only lines come
    // back as CR LF; the file's spelling of the key stays; a new key goes after the section's
    // last key, before the next section's comments.
    const std::string head = "\xEF\xBB\xBF;head\r\n[Config]\r\n",
                      tail = "\r\nx=\xE0\x01\r\nnul=a\0b"s;
    folder.write("t.ini", head + "PORT = 1 ; first" + tail + "\n\n;about B\n[B]\nk=1");
    ini = iniAt(folder / "t.ini", "config", "Port");
    ini.setValue("2");
    ini.setKey("New");
    ini.setValue("v");
    EXPECT_EQ(folder.read("t.ini"),
              head + "PORT=2" + tail + "\r\nNew=v\r\n\r\n;about B\r\n[B]\r\nk=1\r\n");
    EXPECT_EQ(ini.Value(), "v");
    ini.setValue("\0\0x\0\0y\0"s);  // NUL characters are removed before writing
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(ini.Value(), "xy");
}

TEST(IniWrite, RemovesKeysAndSections) {
    test::TempFolder folder;
    folder.write("t.ini", "[A]\r\nk=1\r\nj=2\r\nK=dup\r\n[B]\r\nk=3\r\n[a]\r\nz=4\r\n");
    cInifile ini = iniAt(folder / "t.ini", "A", "k");
    ini.DeleteKey();
    EXPECT_TRUE(ini.Success());
    // The duplicate goes too, so the key is really gone.
    EXPECT_EQ(folder.read("t.ini"), "[A]\r\nj=2\r\n[B]\r\nk=3\r\n[a]\r\nz=4\r\n");
    for (int twice = 0; twice < 2; ++twice) {  // removing what is not there changes nothing
        ini.DeleteSection();
        EXPECT_TRUE(ini.Success());
        EXPECT_EQ(folder.read("t.ini"), "[B]\r\nk=3\r\n");
    }
    cInifile missing = iniAt(folder / "none.ini", "A", "k");
    missing.DeleteKey();
    EXPECT_TRUE(missing.Success());
    EXPECT_FALSE(folder.exists("none.ini"));
}

// A refused or failed write resets the code and leaves every file as it was, with no temporary.
TEST(IniWrite, RefusedAndFailedWritesLeaveTheFiles) {
    test::TempFolder folder;
    folder.write("plain", "not a folder");
    std::filesystem::create_directory(folder / "dir.ini");
    // clang-format off
    const struct {
        std::string section, key, value, file = "t.ini";
    } cases[] = {
        // Texts that would not read back.
        {"A", "k", "1\r\nEvil=1"}, {"A", "k", "1\nEvil=1"}, {"A", "k=j", "1"}, {"A", "k\nj", "1"},
        {"A", "", "1"}, {"A", "  ", "1"}, {"A", ";k", "1"}, {"A]x", "k", "1"}, {"A\r\n[B", "k", "1"},
        {" A ", "k", "1"}, {"A\v", "k", "1"}, {"A", "k\t", "1"},
        // Under a file, on a folder, and under a missing folder (which is not created).
        {"A", "k", "x", "plain/t.ini"}, {"A", "k", "x", "dir.ini"}, {"A", "k", "x", "missing/t.ini"}};
    // clang-format on
    const std::string original = "[A]\r\nk=0\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + "|" + c.section + "|" + c.key + "|" + c.value);
        folder.write("t.ini", original);
        cInifile ini = iniAt(folder / "t.ini", "A", "k");
        ini.setValue("ok");  // a successful write first, so that the refusal must reset the code
        ASSERT_TRUE(ini.Success());
        folder.write("t.ini", original);
        ini.setPath(folder / c.file);
        ini.setSection(c.section);
        ini.setKey(c.key);
        ini.setValue(c.value);
        EXPECT_EQ(ini.LastReturnCode(), 0);
        EXPECT_EQ(folder.read("t.ini"), original);
    }
    EXPECT_EQ(folder.read("plain"), "not a folder");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "dir.ini"));
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"dir.ini", "plain", "t.ini"}));
}

// A window of 3000 x 2000 twips at (100, 200) on a 1024 x 768 pixel screen of 15 twips.
struct FakeWindow : WindowGeometry {
    int32_t l = 100, t = 200, w = 3000, h = 2000;
    bool minimized = false, maximized = false;
    int moves = 0;
    int32_t left() const override { return l; }
    int32_t top() const override { return t; }
    int32_t width() const override { return w; }
    int32_t height() const override { return h; }
    bool isMinimized() const override { return minimized; }
    bool isMaximized() const override { return maximized; }
    void move(int32_t nl, int32_t nt, int32_t nw, int32_t nh) override {
        l = nl, t = nt, w = nw, h = nh, ++moves;
    }
    void maximize() override { maximized = true; }
    int32_t screenWidth() const override { return 15360; }
    int32_t screenHeight() const override { return 11520; }
    int32_t twipsPerPixelX() const override { return 15; }
    int32_t twipsPerPixelY() const override { return 15; }
};

TEST(FormPosition, SaveWritesPlacementAndKeepsTheKey) {
    test::TempFolder folder;
    cInifile ini = iniAt(folder / "t.ini", "frmDetails", "Mine");
    FakeWindow window;
    const std::string placement = "Left=100\r\nTop=200\r\nWidth=3000\r\nHeight=2000\r\n";
    ini.SaveFormPosition(window);
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(ini.Key(), "Mine");
    EXPECT_EQ(folder.read("t.ini"), "[frmDetails]\r\nMaximised=0\r\n" + placement);
    // Maximised keeps the placement stored before; minimised stores nothing.
    window.maximized = true;
    window.l = 1;
    ini.SaveFormPosition(window);
    EXPECT_EQ(folder.read("t.ini"), "[frmDetails]\r\nMaximised=1\r\n" + placement);
    window.minimized = true;
    folder.write("t.ini", "");
    ini.SaveFormPosition(window);
    EXPECT_EQ(folder.read("t.ini"), "");
    folder.write("plain", "");
    cInifile failing = iniAt(folder / "plain" / "t.ini", "S", "Mine");
    window.minimized = false;
    failing.SaveFormPosition(window);
    EXPECT_EQ(failing.LastReturnCode(), 0);
    EXPECT_EQ(failing.Key(), "Mine");
}

TEST(FormPosition, LoadKeepsTheWindowOnTheScreen) {
    const int32_t m = 60, W = 15360, H = 11520;  // a margin of 4 pixels of 15 twips; the screen
    // clang-format off
    const struct {
        std::string stored;
        int32_t minW, minH;
        std::vector<int32_t> placement;  // left, top, width, height; empty: not moved
        bool maximized;
    } cases[] = {
        {"Left=1000\r\nTop=900\r\nWidth=4000\r\nHeight=3000", 0, 0, {1000, 900, 4000, 3000}, false},
        {"Left=x\r\nTop=\r\nWidth=abc", 0, 0, {100, 200, 3000, 2000}, false},  // keep the current
        {"Left=-500\r\nTop=10", 0, 0, {m, m, 3000, 2000}, false},
        {"Left=14000\r\nTop=11000", 0, 0, {W - m - 3000, H - m - 2000, 3000, 2000}, false},
        {"Left=0\r\nWidth=20000\r\nHeight=30000", 0, 0, {m, m, W - 2 * m, H - 2 * m}, false},
        {"Width=10\r\nHeight=10", 500, 400, {100, 200, 500, 400}, false},
        {"Width=10", 20000, 0, {}, false},  // the screen is smaller than the minimum
        {"Maximised=1", 0, 0, {100, 200, 3000, 2000}, true},
        {"Left=2147483647\r\nWidth=2147483647", 0, 0, {m, 200, W - 2 * m, 2000}, false}};
    // clang-format on
    test::TempFolder folder;
    for (const auto& c : cases) {
        folder.write("t.ini", "[W]\r\n" + c.stored + "\r\n");
        cInifile ini = iniAt(folder / "t.ini", "W", "Mine");
        ini.setDefault("Dflt");
        FakeWindow window;
        ini.LoadFormPosition(window, c.minW, c.minH);
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(window.moves, c.placement.empty() ? 0 : 1);
        if (!c.placement.empty()) {
            EXPECT_EQ(std::vector<int32_t>({window.l, window.t, window.w, window.h}), c.placement);
        }
        EXPECT_EQ(window.maximized, c.maximized);
        EXPECT_EQ(ini.Key() + ini.Default(), "MineDflt");
    }
}

}  // namespace
}  // namespace korvex
