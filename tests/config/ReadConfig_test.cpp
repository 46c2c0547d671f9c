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
    EXPECT_EQ(h.folder.entries(), Names{"Korvex.ini"});
    EXPECT_EQ(text.find("\xD7"), std::string::npos);  // no UTF-8 lead byte of a Hebrew letter
    std::string bare = text;
    for (std::size_t at; (at = bare.find("\r\n")) != std::string::npos;) bare.erase(at, 2);
    EXPECT_EQ(bare.find('\n'), std::string::npos);  // CR LF lines only
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.rfind(";Communicator for Magtek cheque & card reader", 0), 0u);
    EXPECT_NE(text.find(cp(";LimitedImageFileNameTemplate={MM}{YY}\\Limited\\")),
              std::string::npos);
    EXPECT_EQ(h.global().ProfileNames, Names{cp("פרופיל 1")});
    EXPECT_EQ(std::tuple(h.global().ProfileCount, h.runState().CurrentProfile, h.port.openCount),
              std::tuple(1, 1, 1));
    EXPECT_EQ(configRead(h), kDefaults);
    EXPECT_EQ(h.ui.splashes, (Splashes{{750, false}}));
    EXPECT_TRUE(h.ui.messageBoxes.empty() && h.ui.endedWith.empty());
    EXPECT_FALSE(h.ui.noProfilesItemVisible);
}

// An existing file, even empty or broken, is read as it is and never rewritten.
TEST(ReadConfig, FilesWithoutProfilesStartOnBuiltInDefaultsAndAreNeverRewritten) {
    // clang-format off
    const struct {
        std::string bytes;
        int port, red;
    } cases[] = {
        {"", 1, 255}, {"\xEF\xBB\xBF\x00\x01"s, 1, 255},
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
        EXPECT_TRUE(h.global().ProfileNames.empty() && h.ui.profileMenu.empty());
        EXPECT_TRUE(h.ui.noProfilesItemVisible);
        EXPECT_EQ(h.ui.tooltips.size(), 1u);
        EXPECT_EQ(std::tuple(h.port.commPort(), h.profile().Red, h.form->ConfigIni().Section()),
                  std::tuple(c.port, c.red, "Config"s));
        if (c.bytes.empty()) {
            EXPECT_EQ(configRead(h), kDefaults);
        }
    }
    ConfigHarness h;  // a folder of that name is left alone
    std::filesystem::create_directory(h.folder / "Korvex.ini");
    ASSERT_TRUE(h.start());
    EXPECT_TRUE(std::filesystem::is_directory(h.folder / "Korvex.ini"));
    EXPECT_EQ(h.global().ProfileCount, 0);
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
// the one read, at start-up as in launcher mode.
TEST(ReadConfig, ProgramFolderNamedOutsideWindows1255) {
    for (const bool launcher : {false, true}) {
        ConfigHarness h;
        ProgramInfo program = h.form->program();
        program.folder = h.folder.path() / std::u8string(u8"Korvex é");
        ASSERT_TRUE(std::filesystem::create_directory(program.folder));
        ASSERT_TRUE(writeFileAtomically(program.folder / "Korvex.ini",
                                        "[Config]\r\nPort=3\r\nSplashScreenTime=2000\r\n"
                                        "[Shop]\r\nRed=7\r\n"));
        h.form = std::make_unique<frmKorvex>(h.form->services(), program);
        if (launcher) {
            h.form->LauncherMode();
            EXPECT_EQ(h.ui.splashes, (Splashes{{2000, true}}));
            continue;
        }
        ASSERT_TRUE(h.start());
        EXPECT_EQ(std::tuple(h.profile().Red, h.port.commPort()), std::tuple(7, 3));
        EXPECT_EQ(h.ui.splashes, (Splashes{{2000, false}}));
    }
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
        {"13,10", "\r\n"}, {"&H0D", "\r"}, {"13,", "\r\0"s}, {"10.5", "\n"},
        {"11.5", "\f"},    {"x", "\0"s},   {"3;4", "\x03"},  {"255,0", "\xff\0"s}};
    for (const auto& [value, expected] : cases) {
        ConfigHarness t;
        ASSERT_TRUE(t.start("[Config]\r\nDataTerminationChars=" + value + "\r\n")) << value;
        EXPECT_EQ(t.global().TerminationString, expected) << value;
    }
}

TEST(ReadConfig, ValuesThatDoNotConvertStopTheStartWithOneMessage) {
    for (const std::string what :
         {"SplashScreenTime=40000", "SplashScreenTime=", "Port=COM1", "Port=0", "Port=70000",
          "FlowControl=4", "FlowControl=-1", "RTS=yes", "Nonus=", "DataTerminationChars=256",
          "DataTerminationChars=13,-1", "CommSettings=9600,x,8,1"}) {
        ConfigHarness h;
        EXPECT_FALSE(h.start("[Config]\r\n" + what + "\r\n[P]\r\n")) << what;
        ASSERT_EQ(h.ui.messageBoxes.size(), 1u) << what;
        const auto& box = h.ui.messageBoxes[0];
        EXPECT_EQ(std::tuple(box.title, box.icon), std::tuple(kTitle, MsgIcon::Exclamation));
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
    // The message names what is accepted and shows odd values safely.
    ConfigHarness h;
    EXPECT_FALSE(h.start("[Config]\r\nFlowControl=\x01" + std::string(100, '7') + "\r\n"));
    ASSERT_EQ(h.ui.messageBoxes.size(), 1u);
    const std::string& text = h.ui.messageBoxes[0].text;
    EXPECT_NE(text.find("0 (none), 1 (XON/XOFF), 2 (RTS) or 3 (RTS and XON/XOFF)"),
              std::string::npos);
    EXPECT_NE(text.find("\"?" + std::string(63, '7') + "...\""), std::string::npos);
}

TEST(ReadConfig, PortThatCannotOpenEndsTheRun) {
    ConfigHarness h;
    h.port.refuseOpen = true;
    h.ui.timerEnabled = true;
    EXPECT_FALSE(h.start("[Config]\r\n[A]\r\n"));
    ASSERT_EQ(h.ui.messageBoxes.size(), 1u);
    const auto& box = h.ui.messageBoxes[0];
    EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
              std::tuple(cp("שגיאה:") + "\r\nInvalid port number", kTitle, MsgIcon::Exclamation,
                         MsgButtons::Ok));
    EXPECT_TRUE(h.ui.trayIconRemoved && h.folder.exists("Korvex.shutdown") && h.form->ended());
    EXPECT_FALSE(h.ui.timerEnabled);
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
        {"[A]\r\n[B]\r\n[a]\r\n", {"A", "B"}, 1},  // a repeated section is listed once
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
        EXPECT_EQ(h.global().ProfileNames, c.names);
        EXPECT_EQ(h.global().ProfileCount, int32_t(c.names.size()));
        EXPECT_EQ(h.runState().CurrentProfile, c.current);
        EXPECT_EQ(h.ui.checkedItems(), (std::vector<int32_t>{c.current}));
        EXPECT_EQ(h.ui.profileMenu.size(), c.names.size());
        EXPECT_EQ(h.ui.profileMenu.at(c.current), c.names[c.current - 1]);
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
