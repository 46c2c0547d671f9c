// The diagnostics line and the orderly shutdown of the main window.
#include <gtest/gtest.h>

#include "config/ConfigHarness.h"

using namespace std::string_literals;

namespace korvex {
namespace {

using test::ConfigHarness;

TEST(DebugLog, LineIsDateTimeBlankMessageCrLfAndFollowsTheClock) {
    ConfigHarness h;
    for (const std::string& message : {"Comm event: 2"s, ""s, "a\0b\0"s, "\xE0\r\nnext"s}) {
        h.form->DebugLog(message);
    }
    h.clock.set({2027, 1, 9, 23, 59, 59});
    h.form->DebugLog("one");
    h.clock.advance(std::chrono::seconds(1));
    h.form->DebugLog("two");
    const std::string at = "06/12/2026 10:30:00 ";
    EXPECT_EQ(h.debug.lines,
              (std::vector<std::string>{at + "Comm event: 2\r\n", at + "\r\n", at + "axbx\r\n",
                                        at + "\xE0\r\nnext\r\n", "09/01/2027 23:59:59 one\r\n",
                                        "10/01/2027 00:00:00 two\r\n"}));
}

TEST(DoEnd, LeavesTheSemaphoreEndsOnceAndUnloadsOnlyWhenAsked) {
    for (const bool unload : {false, true}) {
        ConfigHarness h;
        h.port.open();
        h.form->DoEnd(unload);
        h.form->DoEnd(true);  // a second call does nothing more
        EXPECT_EQ(h.folder.read("Korvex.shutdown"), "");
        EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0}));
        EXPECT_TRUE(h.form->ended());
        EXPECT_EQ(h.ui.trayIconRemoved, unload);
        EXPECT_EQ(h.port.isOpen(), !unload);
        EXPECT_EQ(h.port.closeCount, unload ? 1 : 0);
    }
}

TEST(DoEnd, AnExistingSemaphoreOrAFolderInItsPlaceIsLeftAlone) {
    ConfigHarness h;
    h.folder.write("Korvex.shutdown", "left by the watchdog");
    const auto before = std::filesystem::last_write_time(h.folder / "Korvex.shutdown");
    h.form->DoEnd(false);
    EXPECT_EQ(h.folder.read("Korvex.shutdown"), "left by the watchdog");
    EXPECT_EQ(std::filesystem::last_write_time(h.folder / "Korvex.shutdown"), before);
    EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0}));
    ConfigHarness blocked;
    std::filesystem::create_directory(blocked.folder / "Korvex.shutdown");
    blocked.form->DoEnd(true);  // cannot be created, and that is ignored
    EXPECT_TRUE(std::filesystem::is_directory(blocked.folder / "Korvex.shutdown"));
    EXPECT_EQ(blocked.ui.endedWith, (std::vector<int>{0}));
    EXPECT_TRUE(blocked.ui.trayIconRemoved);
}

}  // namespace
}  // namespace korvex
