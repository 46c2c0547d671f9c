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

const std::string kTitle = cp("שגיאה בקורא צ'קים וכרטיסים של Ovra");

TEST(CheckForINI, WritesTheDefaultFileAndStartsOnItsProfile) {
    ConfigHarness h;
    ASSERT_TRUE(h.start());
    EXPECT_EQ(h.folder.read("Korvex.ini"), std::string(resources::defaultConfig()));
    EXPECT_EQ(h.folder.entries(), (std::vector<std::string>{"Korvex.ini"}));

    EXPECT_EQ(h.global().ProfileNames, (std::vector<std::string>{cp("פרופיל 1")}));
    EXPECT_EQ(h.global().ProfileCount, 1);
    EXPECT_EQ(h.global().CurrentProfile, 1);
    EXPECT_EQ(h.global().TerminationString, "\r");
    EXPECT_EQ(h.global().MSRTracks, "2");
    EXPECT_FALSE(h.global().Nonus);
    EXPECT_EQ(h.port.commPort(), 1);
    EXPECT_EQ(lineSettingsText(h.port.settings()), "9600,n,8,1");
    EXPECT_EQ(h.port.portName, "");
    EXPECT_EQ(h.port.openCount, 1);
    EXPECT_EQ(h.ui.splashes, (std::vector<std::pair<int, bool>>{{750, false}}));
    EXPECT_TRUE(h.ui.messageBoxes.empty());
    EXPECT_TRUE(h.ui.endedWith.empty());

    // The sample profile's values.
    const ProfileSettings& p = h.profile();
    EXPECT_EQ(p.ChequeNumStart, -13);
    EXPECT_EQ(p.ChequeBankNumLeadingZeros, -1);
    EXPECT_EQ(p.ChequeBackTimeout, 60);
    EXPECT_EQ(p.ChequeTemplate,
              "{ChequeNum}{TAB}{BankNum}{TAB}{BranchNum}{TAB}{AccountNum}{ENTER}");
    EXPECT_EQ(p.GenUSFileNameTemplate, "{MM}{YY}\\US\\{MICR}.tif");
    EXPECT_EQ(p.LimitedImageFileNameTemplate, "");  // commented out
    EXPECT_TRUE(p.CombineChequeImages);
    EXPECT_EQ(p.BackImageFileNameTemplate, "netpbm\\tmp-back.jpg");
    EXPECT_EQ(h.global().URLConnectionTimeout, 60);

    ASSERT_EQ(h.ui.icons.size(), 1u);
    const auto& icon = h.ui.icons[0];
    EXPECT_EQ(std::vector<int>({icon.red, icon.green, icon.blue, icon.fontSize, icon.textRed,
                                icon.textGreen, icon.textBlue, icon.profileNumber}),
              std::vector<int>({255, 0, 0, 22, 0, 255, 255, 1}));
    EXPECT_EQ(h.ui.profileMenu, (std::map<int32_t, std::string>{{1, cp("פרופיל 1")}}));
    EXPECT_EQ(h.ui.checkedItems(), (std::vector<int32_t>{1}));
    EXPECT_FALSE(h.ui.noProfilesItemVisible);
    EXPECT_TRUE(h.ui.renameCsvEnabled);
}

TEST(DefaultConfig, IsWindows1255WithCrLfLinesAndTheSampleHeader) {
    const std::string text(resources::defaultConfig());
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find("\xD7"), std::string::npos);  // no UTF-8 lead byte of a Hebrew letter
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed at " << i;
        }
    }
    EXPECT_EQ(text.rfind(";Communicator for Magtek cheque & card reader", 0), 0u);
    EXPECT_NE(text.find("\r\n;Sample configuration file\r\n"), std::string::npos);
    EXPECT_NE(text.find(cp(";LimitedImageFileNameTemplate={MM}{YY}\\Limited\\")),
              std::string::npos);
}

TEST(CheckForINI, AnExistingFileIsNeverChanged) {
    for (const std::string& content : {""s, "[A]\nk=1"s, "\xEF\xBB\xBF\x00\x01"s}) {
        ConfigHarness h;
        h.folder.write("Korvex.ini", content);
        h.form->CheckForINI();
        EXPECT_EQ(h.folder.read("Korvex.ini"), content);
    }
}

TEST(CheckForINI, AFolderInThePlaceOfTheFileIsLeftAlone) {
    ConfigHarness h;
    std::filesystem::create_directory(h.folder / "Korvex.ini");
    h.form->CheckForINI();
    EXPECT_TRUE(std::filesystem::is_directory(h.folder / "Korvex.ini"));
    // The run goes on with built-in defaults and no profiles.
    ASSERT_TRUE(h.form->ReadConfig());
    EXPECT_EQ(h.global().ProfileCount, 0);
}

TEST(ReadConfig, EmptyFileStartsOnBuiltInDefaultsWithoutProfiles) {
    ConfigHarness h;
    ASSERT_TRUE(h.start(""));
    EXPECT_EQ(h.folder.read("Korvex.ini"), "");
    EXPECT_EQ(h.global().ProfileCount, 0);
    EXPECT_TRUE(h.global().ProfileNames.empty());
    // Profile 1 is "loaded" although there is none: defaults from [Config].
    EXPECT_EQ(h.global().CurrentProfile, 1);
    EXPECT_TRUE(h.ui.noProfilesItemVisible);
    EXPECT_TRUE(h.ui.profileMenu.empty());
    ASSERT_EQ(h.ui.tooltips.size(), 1u);
    EXPECT_EQ(h.ui.tooltips[0].size(), 64u);
    EXPECT_EQ(h.ui.tooltips[0].substr(0, h.ui.tooltips[0].find('\0')),
              cp("קורא צ'קים וכרטיסים - פרופיל נוכחי: <הגדרות ברירת מחדל>"));
    EXPECT_EQ(h.global().TerminationString, "\r");
    EXPECT_EQ(h.port.commPort(), 1);
    EXPECT_EQ(lineSettingsText(h.port.settings()), "9600,n,8,1");
    EXPECT_EQ(h.port.handshaking, 0);
    EXPECT_FALSE(h.port.rts);
    EXPECT_EQ(h.global().MSRTracks, "2");
    EXPECT_EQ(h.ui.splashes.at(0).first, 750);
}

TEST(ReadConfig, ProfileKeysInConfigApplyWhenThereAreNoProfiles) {
    ConfigHarness h;
    ASSERT_TRUE(h.start("[Config]\r\nRed=12\r\nCSVFile=x.csv\r\n"));
    EXPECT_EQ(h.profile().Red, 12);
    EXPECT_EQ(h.profile().Green, 255);
    EXPECT_EQ(h.profile().CSVFile, "x.csv");
    EXPECT_EQ(h.form->ConfigIni().Section(), "Config");
}

TEST(ReadConfig, SplashTime) {
    const struct {
        const char* value;
        int expected;
    } cases[] = {{"100", 750}, {"-5", 750}, {"750", 750}, {"2000", 2000}, {" 1000.5 ", 1000}};
    for (const auto& c : cases) {
        ConfigHarness h;
        ASSERT_TRUE(h.start("[Config]\r\nSplashScreenTime="s + c.value + "\r\n")) << c.value;
        EXPECT_EQ(h.global().SplashScreenTime, c.expected) << c.value;
        EXPECT_EQ(h.ui.splashes, (std::vector<std::pair<int, bool>>{{c.expected, false}}))
            << c.value;
    }
    for (const char* commandLine : {"/NOSPLASH", "/nosplash", "x /AntiCrash/NoSplash"}) {
        ConfigHarness h(commandLine);
        ASSERT_TRUE(h.start(""));
        EXPECT_TRUE(h.ui.splashes.empty()) << commandLine;
        EXPECT_EQ(h.global().SplashScreenTime, 750);
    }
}

// The program folder comes from the system and may hold characters that Windows-1255 lacks ("é");
// its Korvex.ini is still the one read, at start-up as in launcher mode.
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
            EXPECT_EQ(h.ui.splashes, (std::vector<std::pair<int, bool>>{{2000, true}}));
            continue;
        }
        ASSERT_TRUE(h.start());
        EXPECT_EQ(h.global().ProfileNames, (std::vector<std::string>{"Shop"}));
        EXPECT_EQ(h.profile().Red, 7);
        EXPECT_EQ(h.port.commPort(), 3);
        EXPECT_EQ(h.ui.splashes, (std::vector<std::pair<int, bool>>{{2000, false}}));
    }
}

TEST(ReadConfig, TerminationCharacters) {
    const struct {
        std::string value;
        std::string expected;
    } cases[] = {
        {"13,10", "\r\n"},       {"", ""},         {"&H0D", "\r"},  {"13,", "\r\0"s},
        {" 1 3 , 1 0 ", "\r\n"}, {"10.5", "\n"},   {"11.5", "\f"},  {"x", "\0"s},
        {"255,0", "\xff\0"s},    {"&HFF", "\xff"}, {"3;4", "\x03"},
    };
    for (const auto& c : cases) {
        ConfigHarness h;
        ASSERT_TRUE(h.start("[Config]\r\nDataTerminationChars=" + c.value + "\r\n")) << c.value;
        EXPECT_EQ(h.global().TerminationString, c.expected) << c.value;
    }
}

TEST(ReadConfig, SerialLineAndReaderSettings) {
    ConfigHarness h;
    ASSERT_TRUE(
        h.start("[Config]\r\nPort=3\r\nPortName=/dev/ttyUSB0\r\nCommSettings=115200,n,8,1\r\n"
                "FlowControl=2\r\nRTS=-1\r\nNonus=2\r\nMSRTracks=1,2\r\n"));
    EXPECT_EQ(h.port.commPort(), 3);
    EXPECT_EQ(h.port.portName, "/dev/ttyUSB0");
    EXPECT_EQ(lineSettingsText(h.port.settings()), "115200,n,8,1");
    EXPECT_EQ(h.port.handshaking, 2);
    EXPECT_TRUE(h.port.rts);
    EXPECT_TRUE(h.global().Nonus);
    EXPECT_EQ(h.global().MSRTracks, "1,2");
    EXPECT_TRUE(h.port.isOpen());
}

TEST(ReadConfig, ValuesThatDoNotConvertStopTheStartWithOneMessage) {
    const struct {
        const char* key;
        const char* value;
    } cases[] = {
        {"SplashScreenTime", "abc"},
        {"SplashScreenTime", "40000"},
        {"SplashScreenTime", ""},
        {"Port", "COM1"},
        {"Port", "0"},
        {"Port", "70000"},
        {"FlowControl", "x"},
        {"FlowControl", "4"},
        {"FlowControl", "-1"},
        {"RTS", "yes"},
        {"RTS", "40000"},
        {"Nonus", "on"},
        {"Nonus", ""},
        {"DataTerminationChars", "256"},
        {"DataTerminationChars", "13,-1"},
        {"CommSettings", "9600;n;8;1"},
        {"CommSettings", "9600,x,8,1"},
    };
    for (const auto& c : cases) {
        ConfigHarness h;
        const std::string what = std::string(c.key) + "=" + c.value;
        EXPECT_FALSE(h.start("[Config]\r\n" + what + "\r\n[P]\r\n")) << what;
        ASSERT_EQ(h.ui.messageBoxes.size(), 1u) << what;
        const auto& box = h.ui.messageBoxes[0];
        EXPECT_EQ(box.title, kTitle) << what;
        EXPECT_EQ(box.icon, MsgIcon::Exclamation) << what;
        EXPECT_NE(box.text.find(c.key), std::string::npos) << what;
        EXPECT_NE(box.text.find("[Config]"), std::string::npos) << what;
        EXPECT_NE(box.text.find("\""s + c.value + "\""), std::string::npos) << what;
        EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0})) << what;
        EXPECT_TRUE(h.ui.trayIconRemoved) << what;
        EXPECT_TRUE(h.folder.exists("Korvex.shutdown")) << what;
        EXPECT_EQ(h.port.openCount, 0) << what;
        EXPECT_EQ(h.global().CurrentProfile, 0) << what;  // stopped before the profiles
    }
}

TEST(ReadConfig, MessageNamesWhatIsAcceptedAndShowsOddValuesSafely) {
    ConfigHarness h;
    EXPECT_FALSE(h.start("[Config]\r\nFlowControl=\x01" + std::string(100, '7') + "\r\n"));
    ASSERT_EQ(h.ui.messageBoxes.size(), 1u);
    const std::string& text = h.ui.messageBoxes[0].text;
    EXPECT_NE(text.find("0 (none), 1 (XON/XOFF), 2 (RTS) or 3 (RTS and XON/XOFF)"),
              std::string::npos);
    EXPECT_NE(text.find("\"?" + std::string(63, '7') + "...\""), std::string::npos);
    EXPECT_EQ(text.find('\x01'), std::string::npos);
}

TEST(ReadConfig, PortThatCannotOpenEndsTheRun) {
    ConfigHarness h;
    h.port.refuseOpen = true;
    h.ui.timerEnabled = true;
    EXPECT_FALSE(h.start("[Config]\r\n[A]\r\n"));
    ASSERT_EQ(h.ui.messageBoxes.size(), 1u);
    EXPECT_EQ(h.ui.messageBoxes[0].text, cp("שגיאה:") + "\r\nInvalid port number");
    EXPECT_EQ(h.ui.messageBoxes[0].title, kTitle);
    EXPECT_EQ(h.ui.messageBoxes[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(h.ui.messageBoxes[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(h.ui.trayIconRemoved);
    EXPECT_FALSE(h.ui.timerEnabled);
    EXPECT_EQ(h.ui.endedWith, (std::vector<int>{0}));
    EXPECT_TRUE(h.folder.exists("Korvex.shutdown"));
    EXPECT_TRUE(h.form->ended());
    // The profiles were read before the port.
    EXPECT_EQ(h.global().CurrentProfile, 1);
}

TEST(ProfileList, DefaultProfileIsLoadedAtStart) {
    ConfigHarness h;
    ASSERT_TRUE(h.start("[A]\r\nRed=1\r\n[Config]\r\nDefaultProfileName=B\r\n[B]\r\nRed=2\r\n"));
    EXPECT_EQ(h.global().ProfileNames, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(h.global().ProfileCount, 2);
    EXPECT_EQ(h.global().CurrentProfile, 2);
    EXPECT_EQ(h.profile().Red, 2);
    EXPECT_EQ(h.ui.profileMenu, (std::map<int32_t, std::string>{{1, "A"}, {2, "B"}}));
    EXPECT_EQ(h.ui.checkedItems(), (std::vector<int32_t>{2}));
    EXPECT_EQ(h.ui.tooltips.size(), 1u);  // loaded once
    EXPECT_FALSE(h.ui.noProfilesItemVisible);
    EXPECT_EQ(h.form->ConfigIni().Section(), "B");
}

TEST(ProfileList, StartProfileChoice) {
    const struct {
        const char* what;
        std::string ini;
        std::vector<std::string> names;
        int32_t current;
    } cases[] = {
        {"Config first", "[Config]\r\n[A]\r\n[B]\r\n", {"A", "B"}, 1},
        {"letter case of the default counts",
         "[Config]\r\nDefaultProfileName=b\r\n[A]\r\n[B]\r\n",
         {"A", "B"},
         1},
        {"empty default", "[Config]\r\nDefaultProfileName=\r\n[A]\r\n[B]\r\n", {"A", "B"}, 1},
        {"Hebrew default",
         "[Config]\r\nDefaultProfileName=פרופיל ב\r\n[פרופיל א]\r\n[פרופיל ב]\r\n",
         {cp("פרופיל א"), cp("פרופיל ב")},
         2},
        {"repeated section listed once", "[A]\r\n[B]\r\n[a]\r\n", {"A", "B"}, 1},
    };
    for (const auto& c : cases) {
        ConfigHarness h;
        ASSERT_TRUE(h.start(c.ini)) << c.what;
        EXPECT_EQ(h.global().ProfileNames, c.names) << c.what;
        EXPECT_EQ(h.global().CurrentProfile, c.current) << c.what;
        EXPECT_EQ(h.ui.checkedItems(), (std::vector<int32_t>{c.current})) << c.what;
    }
}

TEST(ProfileList, LowerCaseConfigIsBothConfigAndAProfile) {
    ConfigHarness h;
    ASSERT_TRUE(h.start("[config]\r\nPort=3\r\nDataTerminationChars=13,10\r\nRed=7\r\n[B]\r\n"));
    EXPECT_EQ(h.port.commPort(), 3);
    EXPECT_EQ(h.global().TerminationString, "\r\n");
    EXPECT_EQ(h.global().ProfileNames, (std::vector<std::string>{"config", "B"}));
    EXPECT_EQ(h.global().CurrentProfile, 1);
    EXPECT_EQ(h.profile().Red, 7);
}

TEST(ProfileList, DetailsWindowListIsFilledAndSelected) {
    ConfigHarness h;
    h.ui.detailsExists = true;
    h.ui.detailsProfiles = {"stale"};
    ASSERT_TRUE(h.start("[Config]\r\nDefaultProfileName=C\r\n[A]\r\n[B]\r\n[C]\r\n"));
    EXPECT_EQ(h.ui.detailsProfiles, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(h.ui.detailsSelected, 2);
}

TEST(ReadConfig, BrokenFilesStartWithoutCrashing) {
    const struct {
        const char* what;
        std::string bytes;
        int32_t profiles;
    } cases[] = {
        {"binary bytes", "\x00\xff\xfe[\x01]\r\n\x80\x81=\x82\r\n[Config]\r\nPort=2\r\n"s, 0},
        {"NUL inside lines", "[Config]\r\nPort=2\0junk\r\n[A\0B]\r\n"s, 1},
        {"a 1 MB line", "[Config]\r\nx=" + std::string(1 << 20, 'y') + "\r\n[A]\r\n", 1},
        {"no final line end", "[Config]\r\nPort=2\r\n[A]\r\nRed=3", 1},
        {"duplicate sections and keys",
         "[Config]\r\nPort=2\r\nPort=9\r\n[A]\r\n[A]\r\n[config]\r\n", 1},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBF[Config]\r\nPort=2\r\n[\xD7\x90]\r\n", 1},
    };
    for (const auto& c : cases) {
        ConfigHarness h;
        h.folder.write("Korvex.ini", c.bytes);
        EXPECT_TRUE(h.start()) << c.what;
        EXPECT_EQ(h.global().ProfileCount, c.profiles) << c.what;
        EXPECT_EQ(h.global().CurrentProfile, 1) << c.what;
        EXPECT_EQ(h.folder.read("Korvex.ini"), c.bytes) << c.what;  // never rewritten
    }
    // The byte-order mark hides [Config]: Port keeps its default, and the mark's line is listed
    // as a section read in Windows-1255.
    ConfigHarness h;
    h.folder.write("Korvex.ini", "\xEF\xBB\xBF[Config]\r\nPort=2\r\n[\xD7\x90]\r\n");
    ASSERT_TRUE(h.start());
    EXPECT_EQ(h.port.commPort(), 1);
    EXPECT_EQ(h.global().ProfileNames, (std::vector<std::string>{"\xD7\x90"}));
}

}  // namespace
}  // namespace korvex
