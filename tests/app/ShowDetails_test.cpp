#include "app/ShowDetails.h"

#include <gtest/gtest.h>

#include "config/Settings.h"
#include "support/ScriptedOperatorUi.h"

namespace korvex {
namespace {

TEST(ShowDetails, FillsTheListOnceSelectsTheCurrentProfileAndShows) {
    test::ScriptedOperatorUi ui;
    ui.detailsProfiles = {"stale"};
    GlobalSettings g;
    g.ProfileNames = {"Default", "Bank12"};
    g.ProfileCount = 5;  // a count beyond the names does not read past them
    ShowDetails(ui, g, 2, "A1{TAB}");
    ShowDetails(ui, g, 2, "A2{TAB}");
    EXPECT_EQ(ui.detailsProfiles, g.ProfileNames);  // not duplicated by the second opening
    EXPECT_EQ(std::tuple(ui.detailsSelected, ui.lastDataSent, ui.detailsShows),
              std::tuple(1, "A2{TAB}", 2));
}

}  // namespace
}  // namespace korvex
