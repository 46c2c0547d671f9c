// Loading profiles: every key, defaults, limits, kept values, and the tray and window effects.
#include <gtest/gtest.h>

#include <functional>

#include "config/ConfigHarness.h"
#include "config/SettingKeys.h"

using namespace std::string_literals;

namespace korvex {
namespace {

using test::ConfigHarness;
using test::cp;

TEST(LoadProfile, AProfileWithoutKeysGetsTheDefaults) {
    ConfigHarness h;
    ASSERT_TRUE(h.start("[Config]\r\n[Empty]\r\n"));
    const ProfileSettings& p = h.profile();
    const IconAppearance& i = h.form->iconAppearance();
    EXPECT_EQ(std::vector<int>({p.Red,
                                p.Green,
                                p.Blue,
                                i.IconFontSize,
                                i.TextRed,
                                i.TextGreen,
                                i.TextBlue,
                                p.KeyPressDelay,
                                p.LetUserFillDetails,
                                p.TabChar,
                                p.DontPassPartialRead,
                                p.ChequeNumStart,
                                p.ChequeNumLength,
                                p.ChequeNumLeadingZeros,
                                p.ChequeBankNumLength,
                                p.ChequeBranchNumLength,
                                p.ChequeBranchCodeLength,
                                p.ChequeAccountNumLength,
                                p.ChequeBankNumLeadingZeros,
                                p.ChequeBranchNumLeadingZeros,
                                p.ChequeBranchCodeLeadingZeros,
                                p.ChequeAccountNumLeadingZeros,
                                p.MagStripe2Part1LeadingZeros,
                                p.MagStripe2Part2LeadingZeros,
                                p.MagStripe2Part1Length,
                                p.MagStripe2Part2Length,
                                p.ChequeBackTimeout,
                                h.global().URLConnectionTimeout}),
              std::vector<int>({255, 255, 255, 1, 0, 0, 255, 0, 0, 32, 1,  1, 8, 1,
                                2,   5,   5,   9, 1, 1, 1,   1, 1, 1,  16, 4, 0, 60}));
    EXPECT_EQ(std::vector<bool>({p.ActivateWindow, p.ActivateWindowAfter, p.WhenActivateWindowFails,
                                 p.ChequeNumFlip, p.ChequeAccountNumFlip, p.MagStripe2Part2Flip,
                                 p.SendChequeIfLimited}),
              std::vector<bool>({false, false, true, false, false, false, false}));
    EXPECT_EQ(std::tuple(p.ActivateWindowTitle, p.CSVFile, p.BackImageFileNameTemplate),
              std::tuple(std::string(kNoneRead), ""s, ""s));
    EXPECT_EQ(p.ChequeTemplate,
              cp("שיק:{ENTER}מספק: {ChequeNum}{TAB}בנק: {BankNum}{ENTER}סניף: {BranchNum}{TAB}"
                 "חשבון: {AccountNum}{ENTER}{ENTER}"));
    EXPECT_EQ(p.MagStripe1Template,
              cp("כרטיס מגנטי:{ENTER}שם: {Name}{TAB}מספר כרטיס: {Account}{TAB}תוקף: "
                 "{DateMM}/{DateYY} {ENTER}{ENTER}"));
    EXPECT_EQ(p.MagStripe2Template,
              cp("כרטיס מגנטי:{ENTER}מספר כרטיס: {MagPart1}{TAB}תוקף: {MagPart2}{ENTER}{ENTER}"));
    EXPECT_FALSE(h.ui.renameCsvEnabled);
    ASSERT_EQ(h.ui.icons.size(), 1u);
    EXPECT_EQ(std::tuple(h.ui.icons[0].fontSize, h.ui.icons[0].textBlue), std::tuple(1, 255));
}

// What a profile load sets: compared whole, so that a key wired to the wrong field fails.
struct Loaded : ProfileSettings, IconAppearance {
    int32_t URLConnectionTimeout = 0;
    bool operator==(const Loaded&) const = default;
};
using P = ProfileSettings;
using I = IconAppearance;
using L = Loaded;
using Change = std::function<void(Loaded&)>;
template <typename T, typename C, typename V>
Change set(T C::*f, V v) {
    return [=](Loaded& l) { l.*f = static_cast<T>(v); };
}

// One row: the key, the text it is given, and the value its own field must take.
#define K(S, field, text, value) \
    { #field "=" text, set(&S::field, value) }

Loaded loadedWith(const std::string& line) {
    ConfigHarness h;
    EXPECT_TRUE(h.start("[Config]\r\n[All]\r\n" + line + "\r\n"));
    return {{h.profile()}, {h.form->iconAppearance()}, h.global().URLConnectionTimeout};
}

TEST(LoadProfile, ReadsEveryKeyOfTheProfileIntoItsOwnField) {
    // Each key set to a value unlike its default, and the change it must make.
    // clang-format off
    const std::vector<std::pair<std::string, Change>> cases = {
        K(P, Red, "1", 1), K(P, Green, "2", 2), K(P, Blue, "3", 3),
        K(I, IconFontSize, "9", 9), K(I, TextRed, "4", 4),
        K(I, TextGreen, "5", 5), K(I, TextBlue, "6", 6),
        // Without a title the switch is turned off again.
        {"ActivateWindow=1\r\nActivateWindowTitle=T",
         [](Loaded& l) { l.ActivateWindow = true, l.ActivateWindowTitle = "T"; }},
        K(P, ActivateWindowAfter, "1", true), K(P, ActivateWindowTitle, "Notepad", "Notepad"),
        K(P, WaitMode, "1", true), K(P, KeyPressDelay, "25", 25), K(P, UseOldSendKeys, "1", true),
        K(P, DoEventsOnDelay, "1", true), K(P, ClipboardWin98DOS, "1", true),
        K(P, LetUserFillDetails, "2", 2), K(P, IgnoreVerify, "7", true), K(P, TabChar, "59", 59),
        K(P, DontPassPartialRead, "0", 0), K(P, CSVFile, "a.csv", "a.csv"),
        K(P, CSVRenTemplate, "b{HH}.csv", "b{HH}.csv"), K(P, WhenActivateWindowFails, "0", false),
        K(P, ChequeNumStart, "-3", -3), K(P, ChequeNumLength, "11", 11),
        K(P, ChequeNumLeadingZeros, "-2", -2), K(P, ChequeNumFlip, "true", true),
        K(P, ChequeBankNumStart, "2", 2), K(P, ChequeBankNumLength, "3", 3),
        K(P, ChequeBankNumLeadingZeros, "4", 4), K(P, ChequeBankNumFlip, "1", true),
        K(P, ChequeBranchNumStart, "5", 5), K(P, ChequeBranchNumLength, "6", 6),
        K(P, ChequeBranchNumLeadingZeros, "7", 7), K(P, ChequeBranchNumFlip, "TRUE", true),
        K(P, ChequeBranchCodeStart, "8", 8), K(P, ChequeBranchCodeLength, "9", 9),
        K(P, ChequeBranchCodeLeadingZeros, "10", 10), K(P, ChequeBranchCodeFlip, "True", true),
        K(P, ChequeAccountNumStart, "11", 11), K(P, ChequeAccountNumLength, "12", 12),
        K(P, ChequeAccountNumLeadingZeros, "13", 13), K(P, ChequeAccountNumFlip, "-1", true),
        K(P, TrimAccountByBank, "1", true),
        // Combined images replace the back template only.
        {"CombineChequeImages=1",
         [](Loaded& l) {
             l.CombineChequeImages = true;
             l.BackImageFileNameTemplate = "netpbm\\tmp-back.jpg";
         }},
        K(P, MagStripe2Part1Start, "14", 14), K(P, MagStripe2Part1Length, "15", 15),
        K(P, MagStripe2Part1LeadingZeros, "16", 16), K(P, MagStripe2Part1Flip, "TRUE", true),
        K(P, MagStripe2Part2Start, "17", 17), K(P, MagStripe2Part2Length, "18", 18),
        K(P, MagStripe2Part2LeadingZeros, "19", 19), K(P, MagStripe2Part2Flip, "TRUE", true),
        K(P, ImageFileNameTemplate, "f.tif", "f.tif"),
        K(P, LimitedImageFileNameTemplate, "l.tif", "l.tif"),
        K(P, BackImageFileNameTemplate, "b.tif", "b.tif"),
        {"LimitedBackImageFileNameTemplate=lb.tif",
         set(&P::LimitedBackImageFileNameTemplate, "lb.tif")},
        K(P, GenUSTemplate, "{MICR}", "{MICR}"), K(P, GenUSFileNameTemplate, "u.tif", "u.tif"),
        K(P, GenUSBackFileNameTemplate, "ub.tif", "ub.tif"),
        K(P, ScanOverrideFileNameTemplate, "s.tif", "s.tif"), K(P, ChequeBackTimeout, "-1", -1),
        K(P, ImageBeforeSendKeys, "1", true), K(P, MinUnreadCharsForNoMICR, "3", 3),
        K(P, AccountListPath, "L\\", "L\\"), K(P, LimitedAccountURL, "http://x/", "http://x/"),
        K(L, URLConnectionTimeout, "5", 5), K(P, SendChequeIfLimited, "TRUE", true),
        K(P, ChequeTemplate, "{BankNum}", "{BankNum}"),
        K(P, MagStripe1Template, "{Name}", "{Name}"),
        K(P, MagStripe2Template, "{MagPart1}", "{MagPart1}")};
    // clang-format on
    // Every key of the table has a case here, so a key LoadProfile forgot cannot pass unseen.
    EXPECT_EQ(cases.size(), profileKeys().size());
    const Loaded defaults = loadedWith("");
    for (const auto& [line, change] : cases) {
        EXPECT_NE(findProfileKey(line.substr(0, line.find('='))), nullptr) << line;
        Loaded expected = defaults;
        change(expected);
        EXPECT_TRUE(loadedWith(line) == expected) << line;
    }
}

TEST(LoadProfile, LimitsAndCompletions) {
    for (auto [v, e] :
         std::vector<std::pair<std::string, int>>{{"0", 1}, {"-5", 1}, {"72", 72}, {"73", 72}}) {
        EXPECT_EQ(loadedWith("IconFontSize=" + v).IconFontSize, e) << v;
    }
    for (auto [v, e] : std::vector<std::pair<std::string, std::string>>{
             {"C:\\L", "C:\\L\\"}, {"", ""}, {"C:\\L\\", "C:\\L\\"}, {"lists/", "lists/\\"}}) {
        EXPECT_EQ(loadedWith("AccountListPath=" + v).AccountListPath, e) << v;
    }
    // The switch needs a title; an empty one counts, the marker of "none read" does not.
    EXPECT_FALSE(loadedWith("ActivateWindow=1\r\nActivateWindowAfter=1").ActivateWindow);
    EXPECT_TRUE(loadedWith("ActivateWindow=1\r\nActivateWindowTitle=").ActivateWindow);
    EXPECT_FALSE(
        loadedWith("ActivateWindow=1\r\nActivateWindowTitle=**NONE READ**").ActivateWindow);
}

TEST(LoadProfile, ValuesThatDoNotConvertKeepThePreviousProfilesValue) {
    ConfigHarness h;
    ASSERT_TRUE(h.start(
        "[A]\r\nRed=10\r\nChequeBackTimeout=60\r\nChequeNumFlip=true\r\nTextRed=20\r\nTabChar=9\r\n"
        "Green=7\r\nCSVFile=log.csv\r\nIconFontSize=12\r\n[B]\r\nRed=300\r\nChequeNumFlip=yes\r\n"
        "TextRed=300\r\nTabChar=-1\r\nGreen=\r\nCSVFile=\r\nIconFontSize=abc\r\n"
        "[C]\r\nChequeNumFlip=1\r\nIconFontSize=40000\r\n"));
    ASSERT_EQ(h.runState().CurrentProfile, 1);
    h.form->LoadProfile(2);
    // Absent: kept; "yes" is no truth text; empty does not convert; an empty text is a value.
    const ProfileSettings& p = h.profile();
    EXPECT_EQ(std::vector<int>({p.Red, p.ChequeBackTimeout, p.ChequeNumFlip,
                                h.form->iconAppearance().TextRed, p.TabChar, p.Green,
                                h.form->iconAppearance().IconFontSize}),
              std::vector<int>({10, 60, 1, 20, 9, 7, 12}));
    EXPECT_EQ(p.CSVFile, "");
    h.form->LoadProfile(3);
    EXPECT_TRUE(h.profile().ChequeNumFlip);
    EXPECT_EQ(h.profile().Red, 255);  // absent: the default
    EXPECT_EQ(h.form->iconAppearance().IconFontSize, 12);
    EXPECT_EQ(h.ui.icons.back().fontSize, 12);
}

TEST(LoadProfile, TooltipIsA64CharacterField) {
    const std::string prefix = cp("קורא צ'קים וכרטיסים - פרופיל נוכחי: ");
    const std::string longName(40, 'N');
    ConfigHarness h;
    ASSERT_TRUE(h.start("[Short]\r\n[" + longName + "]\r\n"));
    ASSERT_EQ(h.ui.tooltips.size(), 1u);
    std::string expected = prefix + "Short" + '\0';
    expected.resize(64, ' ');
    EXPECT_EQ(h.ui.tooltips[0], expected);
    h.form->LoadProfile(2);
    EXPECT_EQ(h.ui.tooltips.back(), (prefix + longName).substr(0, 64));
    h.form->LoadProfile(3);  // no such profile
    expected = prefix + cp("<הגדרות ברירת מחדל>") + '\0';
    expected.resize(64, ' ');
    EXPECT_EQ(h.ui.tooltips.back(), expected);
}

TEST(LoadProfile, InvalidNumberReadsTheLastSectionAgain) {
    ConfigHarness h;
    ASSERT_TRUE(h.start("[A]\r\nRed=1\r\n[B]\r\nRed=2\r\n"));
    h.form->LoadProfile(2);
    h.folder.write("Korvex.ini", "[A]\r\nRed=1\r\n[B]\r\nRed=3\r\n");
    for (int32_t invalid : {0, 3, -1, INT32_MIN, INT32_MAX}) {
        h.form->LoadProfile(invalid);
        EXPECT_EQ(h.form->ConfigIni().Section(), "B") << invalid;
        EXPECT_EQ(std::tuple(h.profile().Red, h.runState().CurrentProfile), std::tuple(3, invalid));
        EXPECT_TRUE(h.ui.checkedItems().empty()) << invalid;
    }
}

TEST(LoadProfile, MenuMarksDetailsSelectionIconAndLogRenaming) {
    ConfigHarness h;
    h.ui.detailsExists = true;
    ASSERT_TRUE(h.start(
        "[A]\r\nRed=1\r\nGreen=2\r\nBlue=3\r\nIconFontSize=20\r\nTextRed=4\r\nTextGreen=5\r\n"
        "TextBlue=6\r\nCSVRenTemplate=old.csv\r\n[B]\r\n"));
    EXPECT_TRUE(h.ui.renameCsvEnabled);
    const auto& i = h.ui.icons.back();
    EXPECT_EQ(std::vector<int>({i.red, i.green, i.blue, i.fontSize, i.textRed, i.textGreen,
                                i.textBlue, i.profileNumber}),
              std::vector<int>({1, 2, 3, 20, 4, 5, 6, 1}));
    h.form->LoadProfile(2);
    EXPECT_EQ(h.ui.checkedItems(), (std::vector<int32_t>{2}));
    EXPECT_EQ(std::tuple(h.ui.detailsSelected, h.ui.icons.back().profileNumber), std::tuple(1, 2));
    EXPECT_FALSE(h.ui.renameCsvEnabled);
}

TEST(ProfileChoice, FindProfileComparesExactly) {
    ConfigHarness h;
    ASSERT_TRUE(h.start("[A]\r\n[Bank11]\r\n[Bank011]\r\n[ bank ]\r\n"));
    const struct {
        const char* name;
        int32_t expected;
    } cases[] = {{"A", 1},     {"Bank11", 2}, {"Bank011", 3}, {"bank11", 0},
                 {"Bank1", 0}, {"bank", 4},   {" bank ", 0},  {"", 0}};
    for (const auto& c : cases) EXPECT_EQ(h.form->FindProfile(c.name), c.expected) << c.name;
    ConfigHarness none;
    ASSERT_TRUE(none.start(""));
    EXPECT_EQ(none.form->FindProfile("") + none.form->FindProfile("Config"), 0);
}

TEST(ProfileChoice, NewProfileChosenSkipsTheCurrentProfile) {
    ConfigHarness h;
    ASSERT_TRUE(h.start("[A]\r\nRed=1\r\n[B]\r\nRed=2\r\n"));
    h.folder.write("Korvex.ini", "[A]\r\nRed=5\r\n[B]\r\nRed=2\r\n");
    h.form->NewProfileChosen(1);  // current: the file is not read again
    EXPECT_EQ(std::tuple(h.ui.tooltips.size(), h.profile().Red), std::tuple(1u, 1));
    h.form->NewProfileChosen(2);
    EXPECT_EQ(h.profile().Red, 2);
    h.form->NewProfileChosen(1);
    EXPECT_EQ(h.profile().Red, 5);
    // The tray menu's way reloads even the current profile.
    h.folder.write("Korvex.ini", "[A]\r\nRed=6\r\n[B]\r\nRed=2\r\n");
    h.form->LoadProfile(1);
    EXPECT_EQ(h.profile().Red, 6);
}

}  // namespace
}  // namespace korvex
