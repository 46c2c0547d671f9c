#include "app/Startup.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "app/ProgramFolder.h"
#include "support/TempFolder.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

TEST(ListAge, FindsTheFirstAccFileUnderThePrefixElseThePathItself) {
    test::TempFolder folder;
    folder.write("Lists/readme.txt", "x");
    EXPECT_TRUE(restrictedListForAgeCheck(folder.path(), "Lists\\"));  // no ACC file: the folder
    EXPECT_FALSE(restrictedListForAgeCheck(folder.path(), "Missing\\"));
    folder.write("Lists/acc04005.txt", "x");  // the match ignores letter case
    folder.write("ListsACC1.TXT", "x");       // without a backslash, names that start with it
    EXPECT_EQ(restrictedListForAgeCheck(folder.path(), "Lists\\")->filename(), "acc04005.txt");
    EXPECT_EQ(restrictedListForAgeCheck(folder.path(), "Lists")->filename(), "ListsACC1.TXT");
    // The modified time is read in local time.
    const auto when = fileModifiedLocal(folder / "ListsACC1.TXT");
    ASSERT_TRUE(when);
    const std::time_t now = std::time(nullptr);
    EXPECT_EQ(when->year, std::localtime(&now)->tm_year + 1900);
    EXPECT_FALSE(fileModifiedLocal(folder / "nothing"));
}

TEST(ListAgeRule, CountsCalendarDaysWhateverTheTimesOfDay) {
    const LocalDateTime now{2026, 12, 9, 0, 5, 0};
    EXPECT_FALSE(restrictedListTooOld(LocalDateTime{2026, 12, 2, 23, 59, 0}, now));  // 7 days
    EXPECT_TRUE(restrictedListTooOld(LocalDateTime{2026, 12, 1, 0, 0, 1}, now));     // 8 days
    EXPECT_TRUE(restrictedListTooOld(std::nullopt, now));
}

TEST(ProgramFolderChoice, AWritableProgramFolderIsKeptElseTheUserFolderIsMadeFromTheSharedData) {
    test::TempFolder root;
    root.write("shared/netpbm/tif2gif.sh", "script");
    root.write("shared/banks_branches.txt", "table");
    root.write("readonly", "a file is no folder to write in");
    const fs::path user = root / "user" / "korvex";

    const ProgramFolder kept = chooseProgramFolder(root.path(), user, root / "no-shared-data");
    EXPECT_EQ(std::tuple(kept.folder, kept.userData), std::tuple(root.path(), false));
    EXPECT_FALSE(fs::exists(user));
    root.write("user/korvex/banks_branches.txt", "edited by the operator");
    // Installed (the shared data beside it): the user's folder even where it could write.
    EXPECT_EQ(chooseProgramFolder(root.path(), user, root / "shared").folder, user);
    const ProgramFolder moved = chooseProgramFolder(root / "readonly", user, root / "shared");
    EXPECT_EQ(std::tuple(moved.folder, moved.userData, moved.error), std::tuple(user, true, ""));
    EXPECT_EQ(root.read("user/korvex/netpbm/tif2gif.sh"), "script");
    EXPECT_EQ(root.read("user/korvex/banks_branches.txt"), "edited by the operator");

    // Nowhere to go, or the user's folder cannot be made: said, never silent.
    EXPECT_NE(chooseProgramFolder(root / "readonly", {}, root / "shared").error, "");
    EXPECT_NE(chooseProgramFolder(root / "readonly", root / "readonly" / "k", {}).error, "");
}

}  // namespace
}  // namespace korvex
