// Writing through a symbolic link replaces the file it names and keeps the link.
#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "config/cInifile.h"

namespace korvex {
namespace {

bool writeValue(const std::filesystem::path& file, const std::string& value) {
    cInifile ini;
    ini.setPath(file);
    ini.setSection("A");
    ini.setKey("k");
    ini.setValue(value);
    return ini.Success();
}

TEST(IniWritePosix, SymbolicLinkIsFollowed) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder / "real");
    folder.write("real/Korvex.ini", "[A]\r\nk=1\r\n");
    std::filesystem::create_symlink(folder / "real" / "Korvex.ini", folder / "link.ini");
    EXPECT_TRUE(writeValue(folder / "link.ini", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.ini"));
    EXPECT_EQ(folder.read("real/Korvex.ini"), "[A]\r\nk=2\r\n");
}

TEST(IniWritePosix, PermissionsOfTheFileAreKept) {
    test::TempFolder folder;
    folder.write("t.ini", "[A]\r\n");
    namespace fs = std::filesystem;
    const auto wanted = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(folder / "t.ini", wanted, fs::perm_options::replace);
    ASSERT_TRUE(writeValue(folder / "t.ini", "1"));
    EXPECT_EQ(fs::status(folder / "t.ini").permissions(), wanted);
}

}  // namespace
}  // namespace korvex
