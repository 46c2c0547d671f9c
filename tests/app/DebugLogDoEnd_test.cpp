// The diagnostics line and the orderly shutdown of the main window.
#include <gtest/gtest.h>

#include "config/ConfigHarness.h"

using namespace std::string_literals;

namespace korvex {
namespace {

using test::ConfigHarness;

TEST(DebugLog, LineIsDateTimeBlankMessageCrLf) {
    const struct {
        std::string message;
        std::string line;
    } cases[] = {
        {"Comm event: 2", "06/12/2026 10:30:00 Comm event: 2\r\n"},
        {"", "06/12/2026 10:30:00 \r\n"},
        {"a\0b\0"s, "06/12/2026 10:30:00 axbx\r\n"},
        {"\0"s, "06/12/2026 10:30:00 x\r\n"},
        {"\xE0\xE1\r\nnext", "06/12/2026 10:30:00 \xE0\xE1\r\nnext\r\n"},
    };
    for (const auto& c : cases) {
        ConfigHarness h;
        h.form->DebugLog(c.message);
        ASSERT_EQ(h.debug.lines.size(), 1u);
        EXPECT_EQ(h.debug.lines[0], c.line);
    }
}

TEST(DebugLog, FollowsTheClockAndKeepsCallOrder) {
    ConfigHarness h;
    h.clock.set({2027, 1, 9, 23, 59, 59});
    h.form->DebugLog("one");
    h.clock.advance(std::chrono::seconds(1));
    h.form->DebugLog("two");
    EXPECT_EQ(h.debug.lines, (std::vector<std::string>{"09/01/2027 23:59:59 one\r\n",
                                                       "10/01/2027 00:00:00 two\r\n"}));
}

TEST(DoEnd, LeavesTheSemaphoreAndEndsTheProcess) {
    ConfigHarness h;
    h.port.open();
    h.form->DoEnd(false);
    EXPECT_TRUE(h.folder.exists("Korvex.shutdown"));
    EXPECT_EQ(h.folder.read("Korvex.shutdown"), "");
    EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0}));
    EXPECT_TRUE(h.form->ended());
    // Without unloading, the tray icon and the port are not touched.
    EXPECT_FALSE(h.ui.trayIconRemoved);
    EXPECT_TRUE(h.port.isOpen());
    // A second call does nothing more.
    h.form->DoEnd(true);
    EXPECT_EQ(h.ui.endedWith.size(), 1u);
    EXPECT_FALSE(h.ui.trayIconRemoved);
}

TEST(DoEnd, UnloadingRemovesTheTrayIconAndClosesThePort) {
    ConfigHarness h;
    h.port.open();
    h.form->DoEnd(true);
    EXPECT_TRUE(h.ui.trayIconRemoved);
    EXPECT_FALSE(h.port.isOpen());
    EXPECT_EQ(h.port.closeCount, 1);
    EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0}));
    EXPECT_TRUE(h.folder.exists("Korvex.shutdown"));
}

TEST(DoEnd, AnExistingSemaphoreIsLeftUntouched) {
    ConfigHarness h;
    h.folder.write("Korvex.shutdown", "left by the watchdog");
    const auto before = std::filesystem::last_write_time(h.folder / "Korvex.shutdown");
    h.form->DoEnd(false);
    EXPECT_EQ(h.folder.read("Korvex.shutdown"), "left by the watchdog");
    EXPECT_EQ(std::filesystem::last_write_time(h.folder / "Korvex.shutdown"), before);
    EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0}));
}

TEST(DoEnd, AnUnwritableFolderStillEndsTheRun) {
    ConfigHarness h;
    // The semaphore's place is taken by a folder: it cannot be created, and that is ignored.
    std::filesystem::create_directory(h.folder / "Korvex.shutdown");
    h.form->DoEnd(true);
    EXPECT_TRUE(std::filesystem::is_directory(h.folder / "Korvex.shutdown"));
    EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0}));
    EXPECT_TRUE(h.ui.trayIconRemoved);
}

}  // namespace
}  // namespace korvex
