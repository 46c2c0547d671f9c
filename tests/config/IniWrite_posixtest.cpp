// Writing through a symbolic link replaces the file it names, keeps the link and the permissions.
#include <gtest/gtest.h>

#include "config/ConfigHarness.h"

namespace korvex {
namespace {

TEST(IniWritePosix, SymbolicLinkIsFollowedAndPermissionsAreKept) {
    namespace fs = std::filesystem;
    test::TempFolder folder;
    fs::create_directory(folder / "real");
    folder.write("real/Korvex.ini", "[A]\r\nk=1\r\n");
    const auto wanted = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(folder / "real" / "Korvex.ini", wanted, fs::perm_options::replace);
    fs::create_symlink(folder / "real" / "Korvex.ini", folder / "link.ini");
    cInifile ini = test::iniAt(folder / "link.ini", "A", "k");
    ini.setValue("2");
    EXPECT_TRUE(ini.Success());
    EXPECT_TRUE(fs::is_symlink(folder / "link.ini"));
    EXPECT_EQ(folder.read("real/Korvex.ini"), "[A]\r\nk=2\r\n");
    EXPECT_EQ(fs::status(folder / "real" / "Korvex.ini").permissions(), wanted);
}

}  // namespace
}  // namespace korvex
