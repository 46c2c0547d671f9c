#include "output/FileName.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "text/Cp1255.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

TEST(SanitizeFileName, ReplacesForbiddenMarksDropsNulAndMarksEmptyNames) {
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::string>>{
             {"a:b*c?", "a_b_c_"},
             {"<x>|\"y\"", "_x___y_"},
             {"sub\\dir/name", "sub\\dir/name"},
             {std::string("a\0b\0", 4), "ab"},
             {"", "<<DONTSAVE>>"},
             {std::string(1, '\0'), "<<DONTSAVE>>"},
             {cp1255::fromUtf8("שם קובץ"), cp1255::fromUtf8("שם קובץ")},
             {"\x01\xff", "\x01\xff"}}) {
        EXPECT_EQ(SanitizeFileName(text), expected) << text;
    }
    EXPECT_TRUE(IsDontSaveName("0306\\" + SanitizeFileName("") + ".tif"));
    EXPECT_FALSE(IsDontSaveName("0306\\x.tif"));
    EXPECT_FALSE(IsDontSaveName("<<DONTSAVE>"));
    EXPECT_EQ(FolderPart("0306\\US\\1.tif"), "0306\\US");
    EXPECT_EQ(FolderPart("0306\\a/b.tif"), "0306\\a");
    EXPECT_EQ(FolderPart("1.tif"), "");
    EXPECT_EQ(FolderPart("\\1.tif"), "");
}

TEST(MakeDirectoryPath, CreatesMissingParentsAndIsQuietWhenThereIsNothingToDo) {
    test::TempFolder folder;
    MakeDirectoryPath(folder.path(), "0306\\US\\");
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "0306" / "US"));
    MakeDirectoryPath(folder.path(), "0306\\US\\");  // again: nothing changes, nothing fails

    MakeDirectoryPath(folder.path(), "a\\b\\c\\d");
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "a" / "b" / "c" / "d"));
    MakeDirectoryPath(folder.path(), "op/typed\\x");
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "op" / "typed" / "x"));

    // Hebrew folder names reach the disk as Unicode.
    const std::string hebrew = cp1255::fromUtf8("תיקייה\\משנה");
    MakeDirectoryPath(folder.path(), hebrew);
    EXPECT_TRUE(std::filesystem::is_directory(resolveIn(folder.path(), hebrew)));

    // An absolute path is not taken from the program folder.
    test::TempFolder other;
    MakeDirectoryPath(folder.path(), fromFsPath(other.path()) + "\\abs\\x");
    EXPECT_TRUE(std::filesystem::is_directory(other.path() / "abs" / "x"));

    MakeDirectoryPath(folder.path(), "");  // nothing to create
    MakeDirectoryPath(folder.path(), "\\");
}

TEST(MakeDirectoryPath, FailuresAreSilent) {
    test::TempFolder folder;
    folder.write("file", "x");
    // A regular file where a parent should be: nothing is created, nothing thrown.
    MakeDirectoryPath(folder.path(), "file\\sub\\deeper");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "file"));
    // Absurdly deep paths stop without exhausting anything.
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "d\\";
    MakeDirectoryPath(folder.path(), deep);
    // A path deeper than any real tree is not created piecemeal.
    EXPECT_FALSE(std::filesystem::exists(folder / "d/d/d/d/d/d/d/d/d"));
}

}  // namespace
}  // namespace korvex
