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
    EXPECT_EQ(std::vector<int>({p.Red, p.Green, p.Blue}), std::vector<int>({255, 255, 255}));
    const IconAppearance& icon = h.form->iconAppearance();
    EXPECT_EQ(std::vector<int>({icon.IconFontSize, icon.TextRed, icon.TextGreen, icon.TextBlue}),
              std::vector<int>({1, 0, 0, 255}));
    EXPECT_FALSE(p.ActivateWindow);
    EXPECT_FALSE(p.ActivateWindowAfter);
    EXPECT_EQ(p.ActivateWindowTitle, kNoneRead);
    EXPECT_TRUE(p.WhenActivateWindowFails);
    EXPECT_EQ(p.KeyPressDelay, 0);
    EXPECT_EQ(p.LetUserFillDetails, 0);
    EXPECT_EQ(p.TabChar, 32);
    EXPECT_EQ(p.DontPassPartialRead, 1);
    EXPECT_EQ(std::vector<int>({p.ChequeNumStart, p.ChequeNumLength, p.ChequeNumLeadingZeros}),
              std::vector<int>({1, 8, 1}));
    EXPECT_EQ(p.ChequeBankNumLength, 2);
    EXPECT_EQ(p.ChequeBranchNumLength, 5);
    EXPECT_EQ(p.ChequeBranchCodeLength, 5);
    EXPECT_EQ(p.ChequeAccountNumLength, 9);
    EXPECT_EQ(std::vector<int>({p.ChequeBankNumLeadingZeros, p.ChequeBranchNumLeadingZeros,
                                p.ChequeBranchCodeLeadingZeros, p.ChequeAccountNumLeadingZeros,
                                p.MagStripe2Part1LeadingZeros, p.MagStripe2Part2LeadingZeros}),
              std::vector<int>(6, 1));
    EXPECT_EQ(p.MagStripe2Part1Length, 16);
    EXPECT_EQ(p.MagStripe2Part2Length, 4);
    EXPECT_FALSE(p.ChequeNumFlip || p.ChequeAccountNumFlip || p.MagStripe2Part2Flip);
    EXPECT_EQ(p.ChequeBackTimeout, 0);
    EXPECT_EQ(p.CSVFile, "");
    EXPECT_EQ(p.BackImageFileNameTemplate, "");
    EXPECT_EQ(h.global().URLConnectionTimeout, 60);
    EXPECT_FALSE(p.SendChequeIfLimited);
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
    EXPECT_EQ(h.ui.icons[0].fontSize, 1);
    EXPECT_EQ(h.ui.icons[0].textBlue, 255);
}

// What a profile load sets: compared whole, so that a key wired to the wrong field fails.
struct Loaded {
    ProfileSettings p;
    IconAppearance i;
    int32_t URLConnectionTimeout = 0;
    bool operator==(const Loaded&) const = default;
};
using P = ProfileSettings;
using I = IconAppearance;
using L = Loaded;
using Change = std::function<void(Loaded&)>;
template <typename T, typename V>
Change set(T P::*f, V v) {
    return [=](Loaded& l) { l.p.*f = static_cast<T>(v); };
}
template <typename T, typename V>
Change set(T I::*f, V v) {
    return [=](Loaded& l) { l.i.*f = static_cast<T>(v); };
}
template <typename T, typename V>
Change set(T L::*f, V v) {
    return [=](Loaded& l) { l.*f = static_cast<T>(v); };
}

Loaded loadedWith(const std::string& line) {
    ConfigHarness h;
    EXPECT_TRUE(h.start("[Config]\r\n[All]\r\n" + line + "\r\n"));
    return {h.profile(), h.form->iconAppearance(), h.global().URLConnectionTimeout};
}

TEST(LoadProfile, ReadsEveryKeyOfTheProfileIntoItsOwnField) {
    // Each key set to a value unlike its default, and the change it must make.
    const std::vector<std::pair<std::string, Change>> cases = {
        {"Red=1", set(&P::Red, 1)},
        {"Green=2", set(&P::Green, 2)},
        {"Blue=3", set(&P::Blue, 3)},
        {"IconFontSize=9", set(&I::IconFontSize, 9)},
        {"TextRed=4", set(&I::TextRed, 4)},
        {"TextGreen=5", set(&I::TextGreen, 5)},
        {"TextBlue=6", set(&I::TextBlue, 6)},
        // Without a title the switch is turned off again.
        {"ActivateWindow=1\r\nActivateWindowTitle=T",
         [](Loaded& l) { l.p.ActivateWindow = true, l.p.ActivateWindowTitle = "T"; }},
        {"ActivateWindowAfter=1", set(&P::ActivateWindowAfter, true)},
        {"ActivateWindowTitle=Notepad", set(&P::ActivateWindowTitle, "Notepad")},
        {"WaitMode=1", set(&P::WaitMode, true)},
        {"KeyPressDelay=25", set(&P::KeyPressDelay, 25)},
        {"UseOldSendKeys=1", set(&P::UseOldSendKeys, true)},
        {"DoEventsOnDelay=1", set(&P::DoEventsOnDelay, true)},
        {"ClipboardWin98DOS=1", set(&P::ClipboardWin98DOS, true)},
        {"LetUserFillDetails=2", set(&P::LetUserFillDetails, 2)},
        {"IgnoreVerify=7", set(&P::IgnoreVerify, true)},
        {"TabChar=59", set(&P::TabChar, 59)},
        {"DontPassPartialRead=0", set(&P::DontPassPartialRead, 0)},
        {"CSVFile=a.csv", set(&P::CSVFile, "a.csv")},
        {"CSVRenTemplate=b{HH}.csv", set(&P::CSVRenTemplate, "b{HH}.csv")},
        {"WhenActivateWindowFails=0", set(&P::WhenActivateWindowFails, false)},
        {"ChequeNumStart=-3", set(&P::ChequeNumStart, -3)},
        {"ChequeNumLength=11", set(&P::ChequeNumLength, 11)},
        {"ChequeNumLeadingZeros=-2", set(&P::ChequeNumLeadingZeros, -2)},
        {"ChequeNumFlip=true", set(&P::ChequeNumFlip, true)},
        {"ChequeBankNumStart=2", set(&P::ChequeBankNumStart, 2)},
        {"ChequeBankNumLength=3", set(&P::ChequeBankNumLength, 3)},
        {"ChequeBankNumLeadingZeros=4", set(&P::ChequeBankNumLeadingZeros, 4)},
        {"ChequeBankNumFlip=1", set(&P::ChequeBankNumFlip, true)},
        {"ChequeBranchNumStart=5", set(&P::ChequeBranchNumStart, 5)},
        {"ChequeBranchNumLength=6", set(&P::ChequeBranchNumLength, 6)},
        {"ChequeBranchNumLeadingZeros=7", set(&P::ChequeBranchNumLeadingZeros, 7)},
        {"ChequeBranchNumFlip=TRUE", set(&P::ChequeBranchNumFlip, true)},
        {"ChequeBranchCodeStart=8", set(&P::ChequeBranchCodeStart, 8)},
        {"ChequeBranchCodeLength=9", set(&P::ChequeBranchCodeLength, 9)},
        {"ChequeBranchCodeLeadingZeros=10", set(&P::ChequeBranchCodeLeadingZeros, 10)},
        {"ChequeBranchCodeFlip=True", set(&P::ChequeBranchCodeFlip, true)},
        {"ChequeAccountNumStart=11", set(&P::ChequeAccountNumStart, 11)},
        {"ChequeAccountNumLength=12", set(&P::ChequeAccountNumLength, 12)},
        {"ChequeAccountNumLeadingZeros=13", set(&P::ChequeAccountNumLeadingZeros, 13)},
        {"ChequeAccountNumFlip=-1", set(&P::ChequeAccountNumFlip, true)},
        {"TrimAccountByBank=1", set(&P::TrimAccountByBank, true)},
        {"CombineChequeImages=1",
         [](Loaded& l) {
             l.p.CombineChequeImages = true;
             l.p.BackImageFileNameTemplate = "netpbm\\tmp-back.jpg";
         }},
        {"MagStripe2Part1Start=14", set(&P::MagStripe2Part1Start, 14)},
        {"MagStripe2Part1Length=15", set(&P::MagStripe2Part1Length, 15)},
        {"MagStripe2Part1LeadingZeros=16", set(&P::MagStripe2Part1LeadingZeros, 16)},
        {"MagStripe2Part1Flip=TRUE", set(&P::MagStripe2Part1Flip, true)},
        {"MagStripe2Part2Start=17", set(&P::MagStripe2Part2Start, 17)},
        {"MagStripe2Part2Length=18", set(&P::MagStripe2Part2Length, 18)},
        {"MagStripe2Part2LeadingZeros=19", set(&P::MagStripe2Part2LeadingZeros, 19)},
        {"MagStripe2Part2Flip=TRUE", set(&P::MagStripe2Part2Flip, true)},
        {"ImageFileNameTemplate=f.tif", set(&P::ImageFileNameTemplate, "f.tif")},
        {"LimitedImageFileNameTemplate=l.tif", set(&P::LimitedImageFileNameTemplate, "l.tif")},
        {"BackImageFileNameTemplate=b.tif", set(&P::BackImageFileNameTemplate, "b.tif")},
        {"LimitedBackImageFileNameTemplate=lb.tif",
         set(&P::LimitedBackImageFileNameTemplate, "lb.tif")},
        {"GenUSTemplate={MICR}", set(&P::GenUSTemplate, "{MICR}")},
        {"GenUSFileNameTemplate=u.tif", set(&P::GenUSFileNameTemplate, "u.tif")},
        {"GenUSBackFileNameTemplate=ub.tif", set(&P::GenUSBackFileNameTemplate, "ub.tif")},
        {"ScanOverrideFileNameTemplate=s.tif", set(&P::ScanOverrideFileNameTemplate, "s.tif")},
        {"ChequeBackTimeout=-1", set(&P::ChequeBackTimeout, -1)},
        {"ImageBeforeSendKeys=1", set(&P::ImageBeforeSendKeys, true)},
        {"MinUnreadCharsForNoMICR=3", set(&P::MinUnreadCharsForNoMICR, 3)},
        {"AccountListPath=L\\", set(&P::AccountListPath, "L\\")},
        {"LimitedAccountURL=http://x/", set(&P::LimitedAccountURL, "http://x/")},
        {"URLConnectionTimeout=5", set(&L::URLConnectionTimeout, 5)},
        {"SendChequeIfLimited=TRUE", set(&P::SendChequeIfLimited, true)},
        {"ChequeTemplate={BankNum}", set(&P::ChequeTemplate, "{BankNum}")},
        {"MagStripe1Template={Name}", set(&P::MagStripe1Template, "{Name}")},
        {"MagStripe2Template={MagPart1}", set(&P::MagStripe2Template, "{MagPart1}")},
    };
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

TEST(LoadProfile, IconFontSizeLimits) {
    const struct {
        const char* value;
        int expected;
    } cases[] = {{"0", 1},    {"-5", 1},  {"1", 1},    {"72", 72},   {"73", 72},
                 {"100", 72}, {"30", 30}, {"abc", 12}, {"40000", 12}};
    for (const auto& c : cases) {
        ConfigHarness h;
        ASSERT_TRUE(
            h.start("[Before]\r\nIconFontSize=12\r\n[P]\r\nIconFontSize="s + c.value + "\r\n"));
        h.form->LoadProfile(2);
        EXPECT_EQ(h.form->iconAppearance().IconFontSize, c.expected) << c.value;
        EXPECT_EQ(h.ui.icons.back().fontSize, c.expected) << c.value;
    }
}

TEST(LoadProfile, ValuesThatDoNotConvertKeepThePreviousProfilesValue) {
    ConfigHarness h;
    ASSERT_TRUE(h.start(
        "[A]\r\nRed=10\r\nChequeBackTimeout=60\r\nChequeNumFlip=true\r\nTextRed=20\r\nTabChar=9\r\n"
        "Green=7\r\nCSVFile=log.csv\r\n"
        "[B]\r\nRed=300\r\nChequeNumFlip=yes\r\nTextRed=300\r\nTabChar=-1\r\nGreen=\r\nCSVFile=\r\n"
        "[C]\r\nChequeNumFlip=1\r\n"));
    ASSERT_EQ(h.global().CurrentProfile, 1);
    EXPECT_EQ(h.profile().ChequeBackTimeout, 60);
    h.form->LoadProfile(2);
    EXPECT_EQ(h.profile().Red, 10);
    EXPECT_EQ(h.profile().ChequeBackTimeout, 60);  // absent: kept
    EXPECT_TRUE(h.profile().ChequeNumFlip);        // "yes" is no truth text
    EXPECT_EQ(h.form->iconAppearance().TextRed, 20);
    EXPECT_EQ(h.profile().TabChar, 9);
    EXPECT_EQ(h.profile().Green, 7);     // empty does not convert: kept, not reset
    EXPECT_EQ(h.profile().CSVFile, "");  // an empty text is a value
    h.form->LoadProfile(3);
    EXPECT_TRUE(h.profile().ChequeNumFlip);
    EXPECT_EQ(h.profile().Red, 255);  // absent: the default
}

TEST(LoadProfile, ActivateWindowNeedsATitle) {
    const struct {
        const char* lines;
        bool activate, after;
        const char* title;
    } cases[] = {
        {"ActivateWindow=1\r\nActivateWindowAfter=1", false, true, "**NONE READ**"},
        {"ActivateWindow=1\r\nActivateWindowTitle=Untitled", true, false, "Untitled"},
        {"ActivateWindow=1\r\nActivateWindowTitle=", true, false, ""},
        {"ActivateWindow=1\r\nActivateWindowTitle=**NONE READ**", false, false, "**NONE READ**"},
    };
    for (const auto& c : cases) {
        ConfigHarness h;
        ASSERT_TRUE(h.start("[P]\r\n"s + c.lines + "\r\n"));
        EXPECT_EQ(h.profile().ActivateWindow, c.activate) << c.lines;
        EXPECT_EQ(h.profile().ActivateWindowAfter, c.after) << c.lines;
        EXPECT_EQ(h.profile().ActivateWindowTitle, c.title) << c.lines;
    }
}

TEST(LoadProfile, AccountListPathEndsWithABackslash) {
    const struct {
        const char* value;
        const char* expected;
    } cases[] = {{"C:\\Lists", "C:\\Lists\\"},
                 {"", ""},
                 {"C:\\Lists\\", "C:\\Lists\\"},
                 {"lists/", "lists/\\"}};
    for (const auto& c : cases) {
        ConfigHarness h;
        ASSERT_TRUE(h.start("[P]\r\nAccountListPath="s + c.value + "\r\n"));
        EXPECT_EQ(h.profile().AccountListPath, c.expected) << c.value;
    }
}

TEST(LoadProfile, CombinedImagesReplaceOnlyTheBackTemplate) {
    ConfigHarness h;
    ASSERT_TRUE(
        h.start("[On]\r\nCombineChequeImages=1\r\nBackImageFileNameTemplate=b.tif\r\n"
                "LimitedBackImageFileNameTemplate=lb.tif\r\nGenUSBackFileNameTemplate=ub.tif\r\n"
                "[Off]\r\nCombineChequeImages=0\r\nBackImageFileNameTemplate=b.tif\r\n"));
    EXPECT_EQ(h.profile().BackImageFileNameTemplate, "netpbm\\tmp-back.jpg");
    EXPECT_EQ(h.profile().LimitedBackImageFileNameTemplate, "lb.tif");
    EXPECT_EQ(h.profile().GenUSBackFileNameTemplate, "ub.tif");
    h.form->LoadProfile(2);
    EXPECT_EQ(h.profile().BackImageFileNameTemplate, "b.tif");
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
        EXPECT_EQ(h.profile().Red, 3) << invalid;
        EXPECT_EQ(h.global().CurrentProfile, invalid) << invalid;
        EXPECT_TRUE(h.ui.checkedItems().empty()) << invalid;
    }
}

TEST(LoadProfile, MenuMarksDetailsSelectionIconAndLogRenaming) {
    ConfigHarness h;
    h.ui.detailsExists = true;
    ASSERT_TRUE(h.start(
        "[A]\r\nRed=1\r\nGreen=2\r\nBlue=3\r\nIconFontSize=20\r\nTextRed=4\r\nTextGreen=5\r\n"
        "TextBlue=6\r\nCSVRenTemplate=old.csv\r\n[B]\r\n"));
    EXPECT_EQ(h.ui.checkedItems(), (std::vector<int32_t>{1}));
    EXPECT_EQ(h.ui.detailsSelected, 0);
    EXPECT_TRUE(h.ui.renameCsvEnabled);
    const auto& icon = h.ui.icons.back();
    EXPECT_EQ(std::vector<int>({icon.red, icon.green, icon.blue, icon.fontSize, icon.textRed,
                                icon.textGreen, icon.textBlue, icon.profileNumber}),
              std::vector<int>({1, 2, 3, 20, 4, 5, 6, 1}));

    h.form->LoadProfile(2);
    EXPECT_EQ(h.ui.checkedItems(), (std::vector<int32_t>{2}));
    EXPECT_EQ(h.ui.detailsSelected, 1);
    EXPECT_FALSE(h.ui.renameCsvEnabled);
    EXPECT_EQ(h.ui.icons.back().profileNumber, 2);
    EXPECT_EQ(h.global().CurrentProfile, 2);
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
    EXPECT_EQ(none.form->FindProfile(""), 0);
    EXPECT_EQ(none.form->FindProfile("Config"), 0);
}

TEST(ProfileChoice, NewProfileChosenSkipsTheCurrentProfile) {
    ConfigHarness h;
    ASSERT_TRUE(h.start("[A]\r\nRed=1\r\n[B]\r\nRed=2\r\n"));
    h.folder.write("Korvex.ini", "[A]\r\nRed=5\r\n[B]\r\nRed=2\r\n");
    const auto loads = h.ui.tooltips.size();
    h.form->NewProfileChosen(1);  // current: the file is not read again
    EXPECT_EQ(h.ui.tooltips.size(), loads);
    EXPECT_EQ(h.profile().Red, 1);
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
