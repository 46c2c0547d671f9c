#include "app/ShowDetails.h"

#include <gtest/gtest.h>

#include "config/Settings.h"
#include "support/ScriptedOperatorUi.h"

namespace korvex {
namespace {

TEST(ShowDetails, FillsTheListOnceSelectsTheCurrentProfileAndShows) {
    const struct {
        std::vector<std::string> names;
        int32_t count, current;
        int selected;
    } cases[] = {{{"Default", "Bank12", "Other"}, 3, 2, 1},
                 {{}, 0, 0, -1},
                 {{"Only"}, 5, 1, 0}};  // a count beyond the names does not read past them
    for (const auto& c : cases) {
        test::ScriptedOperatorUi ui;
        ui.detailsProfiles = {"stale"};
        GlobalSettings g;
        g.ProfileNames = c.names;
        g.ProfileCount = c.count;
        ShowDetails(ui, g, c.current, "A1{TAB}");
        ShowDetails(ui, g, c.current, "A2{TAB}");
        EXPECT_EQ(ui.detailsProfiles, c.names);  // not duplicated by the second opening
        EXPECT_EQ(ui.detailsSelected, c.selected);
        EXPECT_EQ(ui.lastDataSent, "A2{TAB}");
        EXPECT_EQ(ui.detailsShows, 2);
    }
}

}  // namespace
}  // namespace korvex
