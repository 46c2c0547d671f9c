// The diagnostics line and the orderly shutdown of the main window.
#include <gtest/gtest.h>

#include "config/ConfigHarness.h"

using namespace std::string_literals;

namespace korvex {
namespace {

using test::ConfigHarness;

TEST(DebugLog, LineIsDateTimeBlankMessageCrLfAndFollowsTheClock) {
    ConfigHarness h;
    h.form->DebugLog("Comm event: 2");
    h.form->DebugLog("a\0b\0"s);
    h.clock.set({2027, 1, 9, 23, 59, 59});
    h.form->DebugLog("one");
    h.clock.advance(std::chrono::seconds(1));
    h.form->DebugLog("two");
    const std::string at = "06/12/2026 10:30:00 ";
    EXPECT_EQ(h.debug.lines, (std::vector<std::string>{at + "Comm event: 2\r\n", at + "axbx\r\n",
                                                       "09/01/2027 23:59:59 one\r\n",
                                                       "10/01/2027 00:00:00 two\r\n"}));
}

// The semaphore is made, or left as it was when a watchdog made it.
TEST(DoEnd, LeavesTheSemaphoreEndsOnceAndUnloadsOnlyWhenAsked) {
    for (const auto& [unload, before] : std::vector<std::pair<bool, std::string>>{
             {false, ""}, {true, ""}, {true, "left by the watchdog"}}) {
        SCOPED_TRACE(std::to_string(unload) + before);
        ConfigHarness h;
        if (!before.empty()) h.folder.write("Korvex.shutdown", before);
        h.port.open();
        h.form->DoEnd(unload);
        h.form->DoEnd(true);  // a second call does nothing more
        EXPECT_EQ(h.folder.read("Korvex.shutdown"), before);
        EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0}));
        EXPECT_EQ(std::tuple(h.ui.trayIconRemoved, h.port.closeCount), std::tuple(unload, +unload));
    }
}

}  // namespace
}  // namespace korvex
