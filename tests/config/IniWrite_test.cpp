#include <gtest/gtest.h>

#include <string>

#include "config/ConfigHarness.h"
#include "config/cInifile.h"

using namespace std::string_literals;

namespace korvex {
namespace {

using test::iniAt;

TEST(IniWrite, CreatesReplacesInPlaceAndKeepsEverythingElse) {
    test::TempFolder folder;
    cInifile ini = iniAt(folder / "new.ini", "A", "k");
    ini.setValue("1");
    EXPECT_TRUE(ini.Success());
    ini.setKey("j");
    ini.setValue("2");
    ini.setSection("B");
    ini.setValue("3");
    EXPECT_EQ(folder.read("new.ini"), "[A]\r\nk=1\r\nj=2\r\n[B]\r\nj=3\r\n");
    ini.DeleteSection();  // the last one, so that a stale copy of its header is met
    EXPECT_EQ(folder.read("new.ini"), "[A]\r\nk=1\r\nj=2\r\n");

    // Every byte of the old lines is kept (a byte-order mark, binary, NUL); LF-only lines come
    // back as CR LF; the file's spelling of the key stays; a new key goes after the section's
    // last key, before the next section's comments.
    const std::string head = "\xEF\xBB\xBF;head\r\n[Config]\r\n",
                      tail = "\r\nx=\xE0\x01\r\nnul=a\0b"s;
    folder.write("t.ini", head + "PORT = 1 ; first" + tail + "\n\n;about B\n[B]\nk=1");
    ini = iniAt(folder / "t.ini", "config", "Port");
    ini.setValue("2");
    ini.setKey("New");
    ini.setValue("v");
    EXPECT_EQ(folder.read("t.ini"),
              head + "PORT=2" + tail + "\r\nNew=v\r\n\r\n;about B\r\n[B]\r\nk=1\r\n");
}

// A refused or failed write resets the code and leaves every file as it was, with no temporary.
TEST(IniWrite, RefusedAndFailedWritesLeaveTheFiles) {
    test::TempFolder folder;
    // Texts that would not read back, and a file under a missing folder (which is not created).
    const struct {
        std::string section, key, value, file = "t.ini";
    } cases[] = {{"A", "k", "1\r\nEvil=1"},
                 {"A", "k=j", "1"},
                 {"A]x", "k", "1"},
                 {"A", "k\t", "1"},
                 {"A", "k", "x", "missing/t.ini"}};
    const std::string original = "[A]\r\nk=0\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + "|" + c.section + "|" + c.key + "|" + c.value);
        folder.write("t.ini", original);
        cInifile ini = iniAt(folder / "t.ini", "A", "k");
        ini.setValue("ok");  // a successful write first, so that the refusal must reset the code
        ASSERT_TRUE(ini.Success());
        folder.write("t.ini", original);
        ini.setPath(folder / c.file);
        ini.setSection(c.section);
        ini.setKey(c.key);
        ini.setValue(c.value);
        EXPECT_EQ(ini.LastReturnCode(), 0);
        EXPECT_EQ(folder.read("t.ini"), original);
    }
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"t.ini"}));
}

}  // namespace
}  // namespace korvex
