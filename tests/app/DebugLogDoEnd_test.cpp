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

// The semaphore is made, or left as it was (a watchdog's file, or a folder in its place).
TEST(DoEnd, LeavesTheSemaphoreEndsOnceAndUnloadsOnlyWhenAsked) {
    for (const auto& [unload, before] : std::vector<std::pair<bool, std::string>>{
             {false, ""}, {true, ""}, {false, "left by the watchdog"}, {true, "/"}}) {
        SCOPED_TRACE(std::to_string(unload) + before);
        ConfigHarness h;
        if (before == "/") std::filesystem::create_directory(h.folder / "Korvex.shutdown");
        if (before.size() > 1) h.folder.write("Korvex.shutdown", before);
        h.port.open();
        h.form->DoEnd(unload);
        h.form->DoEnd(true);  // a second call does nothing more
        const bool folder = std::filesystem::is_directory(h.folder / "Korvex.shutdown");
        EXPECT_EQ(folder ? "/" : h.folder.read("Korvex.shutdown"), before);
        EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0}));
        EXPECT_TRUE(h.form->ended());
        EXPECT_EQ(h.ui.trayIconRemoved, unload);
        EXPECT_EQ(h.port.closeCount, unload ? 1 : 0);
    }
}

}  // namespace
}  // namespace korvex
