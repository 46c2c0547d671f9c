#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/ProgramFolder.h"

namespace korvex {
namespace {

// The XDG base-directory rules are a POSIX desktop's: the folders here are POSIX paths.
TEST(ProgramFolderChoice, UserDataFolderFollowsTheXdgRules) {
    const struct {
        const char *xdg, *home, *expected;
    } rows[] = {
        {"/x/data", "/home/op", "/x/data/korvex"},
        {"", "/home/op", "/home/op/.local/share/korvex"},
        {"relative/data", "/home/op", "/home/op/.local/share/korvex"},  // relative: ignored
        {"", "relative", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.xdg) + "|" + row.home);
        EXPECT_EQ(userDataFolder(row.xdg, row.home), std::filesystem::path(row.expected));
    }
}

}  // namespace
}  // namespace korvex
