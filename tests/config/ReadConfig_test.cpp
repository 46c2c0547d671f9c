// Reading [Config] at start-up, the default file, the profile list and the start profile.
#include <gtest/gtest.h>

#include "config/ConfigHarness.h"
#include "config/FileIo.h"
#include "config/IniDocument.h"
#include "resources/Resources.h"

using namespace std::string_literals;

namespace korvex {
namespace {

using test::ConfigHarness;
using test::cp;
using Names = std::vector<std::string>;
using Splashes = std::vector<std::pair<int, bool>>;

const std::string kTitle = cp("שגיאה בקורא צ'קים וכרטיסים של Ovra");

// Global settings and port as one value, so a setting wired to the wrong field fails.
auto configRead(ConfigHarness& h) {
    const GlobalSettings& g = h.global();
    return std::tuple(g.TerminationString, g.MSRTracks, g.Nonus, h.port.commPort(),
                      lineSettingsText(h.port.settings()), h.port.portName, h.port.handshaking,
                      h.port.rts);
}
const auto kDefaults = std::tuple("\r"s, "2"s, false, 1, "9600,n,8,1"s, ""s, 0, false);

TEST(CheckForINI, WritesTheDefaultFileInWindows1255AndStartsOnItsProfile) {
    ConfigHarness h;
    ASSERT_TRUE(h.start());
    const std::string text = h.folder.read("Korvex.ini");
    EXPECT_EQ(text, std::string(resources::defaultConfig()));
    EXPECT_EQ(text.find("\xD7"), std::string::npos);  // no UTF-8 lead byte of a Hebrew letter
    EXPECT_EQ(h.global().ProfileNames, Names{cp("פרופיל 1")});
    EXPECT_EQ(std::tuple(h.runState().CurrentProfile, h.port.openCount), std::tuple(1, 1));
    EXPECT_EQ(configRead(h), kDefaults);
    EXPECT_TRUE(h.ui.messageBoxes.empty() && h.ui.endedWith.empty());
}

// An existing file, even empty or broken, is read as it is and never rewritten.
TEST(ReadConfig, FilesWithoutProfilesStartOnBuiltInDefaultsAndAreNeverRewritten) {
    // clang-format off
    const struct {
        std::string bytes;
        int port, red;
    } cases[] = {
        {"", 1, 255},
        {"\x00\xff\xfe[\x01]\r\n\x80\x81=\x82\r\n[Config]\r\nPort=2\0junk\r\n"s, 2, 255},
        {"[Config]\r\nRed=12\r\n", 1, 12}};  // [Config]'s profile keys apply
    // clang-format on
    for (const auto& c : cases) {
        ConfigHarness h;
        h.folder.write("Korvex.ini", c.bytes);
        ASSERT_TRUE(h.start());
        EXPECT_EQ(h.folder.read("Korvex.ini"), c.bytes);
        EXPECT_EQ(std::tuple(h.global().ProfileCount, h.runState().CurrentProfile),
                  std::tuple(0, 1));
        EXPECT_TRUE(h.global().ProfileNames.empty() && h.ui.profileMenu.empty() &&
                    h.ui.noProfilesItemVisible);
        EXPECT_EQ(std::tuple(h.port.commPort(), h.profile().Red, h.form->ConfigIni().Section()),
                  std::tuple(c.port, c.red, "Config"s));
        if (c.bytes.empty()) {
            EXPECT_EQ(configRead(h), kDefaults);
        }
    }
}

// The /NOSPLASH switch is the start-up sequence's, tested with it.
TEST(ReadConfig, SplashTime) {
    for (auto [value, expected] : {std::pair{"749", 750}, {"750", 750}, {" 1000.5 ", 1000}}) {
        ConfigHarness h;
        ASSERT_TRUE(h.start("[Config]\r\nSplashScreenTime="s + value + "\r\n")) << value;
        EXPECT_EQ(h.ui.splashes, (Splashes{{expected, false}})) << value;
    }
}

// The program folder may hold characters that Windows-1255 lacks ("é"); its Korvex.ini is still
// the one read.
TEST(ReadConfig, ProgramFolderNamedOutsideWindows1255) {
    ConfigHarness h;
    ProgramInfo program = h.form->program();
    program.folder = h.folder.path() / std::u8string(u8"Korvex é");
    ASSERT_TRUE(std::filesystem::create_directory(program.folder));
    ASSERT_TRUE(writeFileAtomically(program.folder / "Korvex.ini",
                                    "[Config]\r\nPort=3\r\n[Shop]\r\nRed=7\r\n"));
    h.form = std::make_unique<frmKorvex>(h.form->services(), program);
    ASSERT_TRUE(h.start());
    EXPECT_EQ(std::tuple(h.profile().Red, h.port.commPort()), std::tuple(7, 3));
}

TEST(ReadConfig, SerialLineReaderSettingsAndTerminationCharacters) {
    ConfigHarness h;
    ASSERT_TRUE(h.start(
        "[Config]\r\nPort=3\r\nPortName=/dev/ttyUSB0\r\nCommSettings=115200,n,8,1\r\n"
        "FlowControl=2\r\nRTS=-1\r\nNonus=2\r\nMSRTracks=1,2\r\nDataTerminationChars=\r\n"));
    EXPECT_EQ(configRead(h),
              std::tuple(""s, "1,2"s, true, 3, "115200,n,8,1"s, "/dev/ttyUSB0"s, 2, true));
    EXPECT_TRUE(h.port.isOpen());
    const std::pair<std::string, std::string> cases[] = {
        {"13,10", "\r\n"}, {"&H0D", "\r"}, {"13,", "\r\0"s}, {"10.5", "\n"}, {"x", "\0"s}};
    for (const auto& [value, expected] : cases) {
        ConfigHarness t;
        ASSERT_TRUE(t.start("[Config]\r\nDataTerminationChars=" + value + "\r\n")) << value;
        EXPECT_EQ(t.global().TerminationString, expected) << value;
    }
}

TEST(ReadConfig, ValuesThatDoNotConvertStopTheStartWithOneMessage) {
    for (const std::string what :
         {"SplashScreenTime=40000", "Port=COM1", "Port=0", "FlowControl=4", "RTS=yes",
          "Nonus=", "DataTerminationChars=256", "CommSettings=9600,x,8,1"}) {
        ConfigHarness h;
        EXPECT_FALSE(h.start("[Config]\r\n" + what + "\r\n[P]\r\n")) << what;
        ASSERT_EQ(h.ui.messageBoxes.size(), 1u) << what;
        const auto& box = h.ui.messageBoxes[0];
        const std::size_t eq = what.find('=');
        for (const std::string& part :
             {what.substr(0, eq), "[Config]"s, "\"" + what.substr(eq + 1) + "\""}) {
            EXPECT_NE(box.text.find(part), std::string::npos) << what << ": " << part;
        }
        EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0})) << what;
        EXPECT_TRUE(h.ui.trayIconRemoved && h.folder.exists("Korvex.shutdown")) << what;
        EXPECT_EQ(std::tuple(h.port.openCount, h.runState().CurrentProfile), std::tuple(0, 0))
            << what;  // stopped before the port and the profiles
    }
}

TEST(ReadConfig, PortThatCannotOpenEndsTheRun) {
    ConfigHarness h;
    h.port.refuseOpen = true;
    h.ui.timerEnabled = true;
    EXPECT_FALSE(h.start("[Config]\r\n[A]\r\n"));
    ASSERT_EQ(h.ui.messageBoxes.size(), 1u);
    const auto& box = h.ui.messageBoxes[0];
    EXPECT_EQ(std::tuple(box.text, box.title, box.icon),
              std::tuple(cp("שגיאה:") + "\r\nInvalid port number", kTitle, MsgIcon::Exclamation));
    EXPECT_TRUE(h.ui.trayIconRemoved && h.folder.exists("Korvex.shutdown") && h.form->ended() &&
                !h.ui.timerEnabled);
    EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0}));
    EXPECT_EQ(h.runState().CurrentProfile, 1);  // the profiles were read before the port
}

TEST(ProfileList, StartProfileChoice) {
    // clang-format off
    const struct {
        std::string ini;
        Names names;
        int32_t current;
        int port = 1;
    } cases[] = {
        {"[A]\r\nRed=1\r\n[Config]\r\nDefaultProfileName=B\r\n[B]\r\n", {"A", "B"}, 2},
        {"[Config]\r\nDefaultProfileName=b\r\n[A]\r\n[B]\r\n", {"A", "B"}, 1},  // letter case
        {"[Config]\r\nDefaultProfileName=\r\n[A]\r\n[B]\r\n", {"A", "B"}, 1},
        {cp("[Config]\r\nDefaultProfileName=פרופיל ב\r\n[פרופיל א]\r\n[פרופיל ב]\r\n"),
         {cp("פרופיל א"), cp("פרופיל ב")}, 2},
        {"[config]\r\nPort=3\r\n[B]\r\n", {"config", "B"}, 1, 3},  // both [Config] and a profile
        // A byte-order mark hides [Config]: Port keeps its default; the mark's line is a section.
        {"\xEF\xBB\xBF[Config]\r\nPort=2\r\n[\xD7\x90]\r\n", {"\xD7\x90"}, 1}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        ConfigHarness h;
        h.ui.detailsExists = true;
        h.ui.detailsProfiles = {"stale"};
        h.folder.write("Korvex.ini", c.ini);
        ASSERT_TRUE(h.start());
        EXPECT_EQ(std::tuple(h.global().ProfileNames, h.global().ProfileCount),
                  std::tuple(c.names, int32_t(c.names.size())));
        EXPECT_EQ(h.ui.checkedItems(), (std::vector<int32_t>{c.current}));
        EXPECT_EQ(h.ui.profileMenu.size(), c.names.size());
        EXPECT_EQ(std::tuple(h.ui.detailsProfiles, h.ui.detailsSelected),
                  std::tuple(c.names, c.current - 1));
        EXPECT_EQ(h.ui.tooltips.size(), 1u);  // loaded once
        EXPECT_EQ(h.form->ConfigIni().Section(), c.names[c.current - 1]);
        EXPECT_EQ(std::tuple(h.port.commPort(), h.folder.read("Korvex.ini")),
                  std::tuple(c.port, c.ini));
    }
}

}  // namespace
}  // namespace korvex
