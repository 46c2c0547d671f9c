// Loading profiles: every key, defaults, limits, kept values, and the tray and window effects.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "config/ConfigHarness.h"
#include "config/SettingKeys.h"

using namespace std::string_literals;

namespace korvex {
namespace {

using test::ConfigHarness;
using test::cp;

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
#define T(field, text) K(P, field, text, text)
// The four keys of one cutting rule.
#define RULE(prefix, start, length, zeros, flip)                               \
    K(P, prefix##Start, #start, start), K(P, prefix##Length, #length, length), \
        K(P, prefix##LeadingZeros, #zeros, zeros), K(P, prefix##Flip, flip, true)

Loaded loadedWith(const std::string& line) {
    ConfigHarness h;
    EXPECT_TRUE(h.start("[Config]\r\n[All]\r\n" + line + "\r\n"));
    return {{h.profile()}, {h.form->iconAppearance()}, h.global().URLConnectionTimeout};
}

// A profile without keys: the built-in defaults, where they differ from an empty record.
Loaded builtInDefaults() {
    Loaded l;
    l.Red = l.Green = l.Blue = l.TextBlue = 255;
    l.URLConnectionTimeout = 60, l.TabChar = 32, l.DontPassPartialRead = 1;
    l.WhenActivateWindowFails = true, l.ActivateWindowTitle = kNoneRead;
    // Every cutting rule starts at 1 with leading zeros on.
    for (int32_t P::*one :
         {&P::ChequeNumStart, &P::ChequeBankNumStart, &P::ChequeBranchNumStart,
          &P::ChequeBranchCodeStart, &P::ChequeAccountNumStart, &P::MagStripe2Part1Start,
          &P::MagStripe2Part2Start, &P::ChequeNumLeadingZeros, &P::ChequeBankNumLeadingZeros,
          &P::ChequeBranchNumLeadingZeros, &P::ChequeBranchCodeLeadingZeros,
          &P::ChequeAccountNumLeadingZeros, &P::MagStripe2Part1LeadingZeros,
          &P::MagStripe2Part2LeadingZeros})
        l.*one = 1;
    l.ChequeNumLength = 8, l.ChequeBankNumLength = 2, l.ChequeBranchNumLength = 5;
    l.ChequeBranchCodeLength = 5, l.ChequeAccountNumLength = 9;
    l.MagStripe2Part1Length = 16, l.MagStripe2Part2Length = 4;
    l.ChequeTemplate =
        cp("שיק:{ENTER}מספק: {ChequeNum}{TAB}בנק: {BankNum}{ENTER}סניף: {BranchNum}{TAB}"
           "חשבון: {AccountNum}{ENTER}{ENTER}");
    l.MagStripe1Template =
        cp("כרטיס מגנטי:{ENTER}שם: {Name}{TAB}מספר כרטיס: {Account}{TAB}"
           "תוקף: {DateMM}/{DateYY} {ENTER}{ENTER}");
    l.MagStripe2Template =
        cp("כרטיס מגנטי:{ENTER}מספר כרטיס: {MagPart1}{TAB}תוקף: {MagPart2}{ENTER}{ENTER}");
    return l;
}

TEST(LoadProfile, ReadsEveryKeyOfTheProfileIntoItsOwnField) {
    // Each key set to a value unlike its default, and the change it must make; then the limits.
    // clang-format off
    const std::vector<std::pair<std::string, Change>> cases = {
        {"", [](Loaded&) {}},
        K(P, Red, "1", 1), K(P, Green, "2", 2), K(P, Blue, "3", 3), K(I, IconFontSize, "9", 9),
        K(I, TextRed, "4", 4), K(I, TextGreen, "5", 5), K(I, TextBlue, "6", 6),
        {"ActivateWindow=1\r\nActivateWindowTitle=T",
         [](Loaded& l) { l.ActivateWindow = true, l.ActivateWindowTitle = "T"; }},
        K(P, ActivateWindowAfter, "1", true), T(ActivateWindowTitle, "Notepad"),
        K(P, WaitMode, "1", true), K(P, KeyPressDelay, "25", 25), K(P, UseOldSendKeys, "1", true),
        K(P, DoEventsOnDelay, "1", true), K(P, ClipboardWin98DOS, "1", true),
        K(P, LetUserFillDetails, "2", 2), K(P, IgnoreVerify, "7", true), K(P, TabChar, "59", 59),
        K(P, DontPassPartialRead, "0", 0), T(CSVFile, "a.csv"), T(CSVRenTemplate, "b{HH}.csv"),
        K(P, WhenActivateWindowFails, "0", false), K(P, TrimAccountByBank, "1", true),
        RULE(ChequeNum, -3, 11, -2, "true"), RULE(ChequeBankNum, 2, 3, 4, "1"),
        RULE(ChequeBranchNum, 5, 6, 7, "TRUE"), RULE(ChequeBranchCode, 8, 9, 10, "True"),
        RULE(ChequeAccountNum, 11, 12, 13, "-1"), RULE(MagStripe2Part1, 14, 15, 16, "TRUE"),
        RULE(MagStripe2Part2, 17, 18, 19, "TRUE"),
        // Combined images replace the back template only.
        {"CombineChequeImages=1", [](Loaded& l) {
             l.CombineChequeImages = true, l.BackImageFileNameTemplate = "netpbm\\tmp-back.jpg";
         }},
        T(ImageFileNameTemplate, "f.tif"), T(LimitedImageFileNameTemplate, "l.tif"),
        T(BackImageFileNameTemplate, "b.tif"), T(LimitedBackImageFileNameTemplate, "lb.tif"),
        T(GenUSTemplate, "{MICR}"), T(GenUSFileNameTemplate, "u.tif"),
        T(GenUSBackFileNameTemplate, "ub.tif"), T(ScanOverrideFileNameTemplate, "s.tif"),
        K(P, ChequeBackTimeout, "-1", -1), K(P, ImageBeforeSendKeys, "1", true),
        K(P, MinUnreadCharsForNoMICR, "3", 3), T(AccountListPath, "L\\"),
        T(LimitedAccountURL, "http://x/"), K(L, URLConnectionTimeout, "5", 5),
        K(P, SendChequeIfLimited, "TRUE", true), T(ChequeTemplate, "{BankNum}"),
        T(MagStripe1Template, "{Name}"), T(MagStripe2Template, "{MagPart1}"),
        // The font size is kept within 1 to 72; a list folder gets its closing "\".
        K(I, IconFontSize, "0", 1), K(I, IconFontSize, "73", 72), K(I, IconFontSize, "72", 72),
        K(P, AccountListPath, "C:\\L", "C:\\L\\"), K(P, AccountListPath, "", ""),
        K(P, AccountListPath, "lists/", "lists/\\"),
        // The switch needs a title; an empty one counts, the marker of "none read" does not.
        {"ActivateWindow=1\r\nActivateWindowAfter=1", set(&P::ActivateWindowAfter, true)},
        {"ActivateWindow=1\r\nActivateWindowTitle=", [](Loaded& l) {
             l.ActivateWindow = true, l.ActivateWindowTitle = "";
         }},
        {"ActivateWindow=1\r\nActivateWindowTitle=**NONE READ**", [](Loaded&) {}}};
    // clang-format on
    // Every key of the table has a case here, so a key LoadProfile forgot cannot pass unseen.
    std::set<std::string> named;
    for (const auto& c : cases) named.insert(c.first.substr(0, c.first.find('=')));
    EXPECT_EQ(named.size(), profileKeys().size() + 1);  // and the empty profile
    for (const auto& [line, change] : cases) {
        EXPECT_TRUE(line.empty() || findProfileKey(line.substr(0, line.find('='))) != nullptr);
        Loaded expected = builtInDefaults();
        change(expected);
        EXPECT_TRUE(loadedWith(line) == expected) << line;
    }
}

TEST(LoadProfile, ValuesThatDoNotConvertKeepThePreviousProfilesValue) {
    ConfigHarness h;
    ASSERT_TRUE(
        h.start("[A]\r\nRed=10\r\nChequeBackTimeout=60\r\nChequeNumFlip=true\r\nTabChar=9\r\n"
                "CSVFile=log.csv\r\nIconFontSize=12\r\n[B]\r\nRed=300\r\nChequeNumFlip=yes\r\n"
                "TabChar=\r\nCSVFile=\r\nIconFontSize=abc\r\n[C]\r\nIconFontSize=40000\r\n"));
    h.form->LoadProfile(2);
    // Absent: kept; "yes" is no truth text; empty does not convert; an empty text is a value.
    const ProfileSettings& p = h.profile();
    EXPECT_EQ(std::vector<int>({p.Red, p.ChequeBackTimeout, p.ChequeNumFlip, p.TabChar,
                                h.form->iconAppearance().IconFontSize}),
              std::vector<int>({10, 60, 1, 9, 12}));
    EXPECT_EQ(p.CSVFile, "");
    h.form->LoadProfile(3);
    EXPECT_EQ(std::tuple(h.profile().Red, h.ui.icons.back().fontSize), std::tuple(255, 12));
}
TEST(LoadProfile, TooltipMenuMarksDetailsSelectionIconAndLogRenaming) {
    const std::string prefix = cp("קורא צ'קים וכרטיסים - פרופיל נוכחי: ");
    const std::string longName(40, 'N');
    ConfigHarness h;
    h.ui.detailsExists = true;
    ASSERT_TRUE(
        h.start("[Short]\r\nRed=1\r\nIconFontSize=20\r\nTextGreen=5\r\n"
                "CSVRenTemplate=old.csv\r\n[" +
                longName + "]\r\n"));
    EXPECT_TRUE(h.ui.renameCsvEnabled);
    const auto& i = h.ui.icons.back();
    EXPECT_EQ(std::vector<int>({i.red, i.fontSize, i.textGreen, i.profileNumber}),
              std::vector<int>({1, 20, 5, 1}));
    // The tooltip is a 64-character field: the text, a NUL, then blanks; a long one is cut.
    ASSERT_EQ(h.ui.tooltips.size(), 1u);
    std::string expected = prefix + "Short" + '\0';
    expected.resize(64, ' ');
    EXPECT_EQ(h.ui.tooltips[0], expected);
    h.form->LoadProfile(2);
    EXPECT_EQ(h.ui.tooltips.back(), (prefix + longName).substr(0, 64));
    EXPECT_EQ(h.ui.checkedItems(), (std::vector<int32_t>{2}));
    EXPECT_EQ(std::tuple(h.ui.detailsSelected, h.ui.icons.back().profileNumber), std::tuple(1, 2));
    EXPECT_FALSE(h.ui.renameCsvEnabled);
    h.form->LoadProfile(3);  // no such profile
    expected = prefix + cp("<הגדרות ברירת מחדל>") + '\0';
    expected.resize(64, ' ');
    EXPECT_EQ(h.ui.tooltips.back(), expected);
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
    ASSERT_TRUE(none.start("[Config]\r\n"));  // no profile at all
    EXPECT_EQ(none.form->FindProfile("") + none.form->FindProfile("Config"), 0);
}

TEST(ProfileChoice, NewProfileChosenSkipsTheCurrentAndInvalidNumbersReadTheLastSection) {
    ConfigHarness h;
    ASSERT_TRUE(h.start("[A]\r\nRed=1\r\n[B]\r\nRed=2\r\n"));
    h.folder.write("Korvex.ini", "[A]\r\nRed=5\r\n[B]\r\nRed=2\r\n");
    h.form->NewProfileChosen(1);  // current: the file is not read again
    EXPECT_EQ(std::tuple(h.ui.tooltips.size(), h.profile().Red), std::tuple(1u, 1));
    h.form->NewProfileChosen(2);
    EXPECT_EQ(h.profile().Red, 2);
    h.folder.write("Korvex.ini", "[A]\r\nRed=1\r\n[B]\r\nRed=3\r\n");
    h.form->LoadProfile(2);  // the tray menu's way reloads even the current profile
    EXPECT_EQ(h.profile().Red, 3);
    for (int32_t invalid : {0, 3, -1}) {
        h.form->LoadProfile(invalid);
        EXPECT_EQ(h.form->ConfigIni().Section(), "B") << invalid;
        EXPECT_EQ(std::tuple(h.profile().Red, h.runState().CurrentProfile), std::tuple(3, invalid));
        EXPECT_TRUE(h.ui.checkedItems().empty()) << invalid;
    }
}

}  // namespace
}  // namespace korvex
