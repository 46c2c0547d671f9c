// Writing through a symbolic link replaces the file it names and keeps the link.
#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "config/cInifile.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

TEST(IniWritePosix, SymbolicLinkIsFollowed) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder / "real");
    folder.write("real/Korvex.ini", "[A]\r\nk=1\r\n");
    std::filesystem::create_symlink(folder / "real" / "Korvex.ini", folder / "link.ini");
    cInifile ini;
    ini.setPath(fromFsPath(folder / "link.ini"));
    ini.setSection("A");
    ini.setKey("k");
    ini.setValue("2");
    EXPECT_TRUE(ini.Success());
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.ini"));
    EXPECT_EQ(folder.read("real/Korvex.ini"), "[A]\r\nk=2\r\n");
}

TEST(IniWritePosix, PermissionsOfTheFileAreKept) {
    test::TempFolder folder;
    folder.write("t.ini", "[A]\r\n");
    namespace fs = std::filesystem;
    const auto wanted = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(folder / "t.ini", wanted, fs::perm_options::replace);
    cInifile ini;
    ini.setPath(fromFsPath(folder / "t.ini"));
    ini.setSection("A");
    ini.setKey("k");
    ini.setValue("1");
    ASSERT_TRUE(ini.Success());
    EXPECT_EQ(fs::status(folder / "t.ini").permissions(), wanted);
}

}  // namespace
}  // namespace korvex
