#include "app/ShowDetails.h"

#include <gtest/gtest.h>

#include "config/Settings.h"
#include "support/ScriptedOperatorUi.h"

namespace korvex {
namespace {

TEST(ShowDetails, FillsTheListOnceSelectsTheCurrentProfileAndShows) {
    test::ScriptedOperatorUi ui;
    GlobalSettings g;
    g.ProfileNames = {"Default", "Bank12", "Other"};
    g.ProfileCount = 3;
    g.CurrentProfile = 2;
    ShowDetails(ui, g, "A1{TAB}");
    ShowDetails(ui, g, "A2{TAB}");
    EXPECT_EQ(ui.detailsProfiles, g.ProfileNames);  // not duplicated by the second opening
    EXPECT_EQ(ui.detailsSelected, 1);
    EXPECT_EQ(ui.lastDataSent, "A2{TAB}");
    EXPECT_EQ(ui.detailsShows, 2);
    EXPECT_TRUE(ui.detailsWindowExists());
}

TEST(ShowDetails, NoProfilesLeavesTheListEmptyAndUnselected) {
    test::ScriptedOperatorUi ui;
    ui.detailsProfiles = {"stale"};
    GlobalSettings g;
    ShowDetails(ui, g, "");
    EXPECT_TRUE(ui.detailsProfiles.empty());
    EXPECT_EQ(ui.detailsSelected, -1);
    EXPECT_EQ(ui.detailsShows, 1);
}

TEST(ShowDetails, ACountBeyondTheNamesDoesNotReadPastThem) {
    test::ScriptedOperatorUi ui;
    GlobalSettings g;
    g.ProfileNames = {"Only"};
    g.ProfileCount = 5;
    g.CurrentProfile = 1;
    ShowDetails(ui, g, "");
    EXPECT_EQ(ui.detailsProfiles, std::vector<std::string>{"Only"});
    EXPECT_EQ(ui.detailsSelected, 0);
}

}  // namespace
}  // namespace korvex
