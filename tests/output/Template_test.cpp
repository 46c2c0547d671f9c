#include "output/Template.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "output/FileName.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

using namespace std::string_literals;

LocalDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return LocalDateTime{year, month, day, hour, minute, second};
}

TemplateFields chequeFields() {
    TemplateFields f;
    f.ChequeNum = "1234", f.BankNum = "12", f.BranchNum = "456", f.BranchCode = "7";
    f.AccountNum = "789012";
    return f;
}

// Expands `text` as a `kind` for an operator who answers `answer`.
std::string expand(TemplateKind kind, const std::string& text, const TemplateFields& f,
                   const std::string& answer) {
    test::ScriptedOperatorUi ui;
    ui.inputBoxAnswers.push_back(answer);
    UserFileName user = UserFileName::through(ui);
    return ExpandTemplate(kind, text, f, at(2006, 3, 5, 9, 8, 7), &user);
}

TEST(ExpandDateCodes, ReplacesEachCodeWithTwoDigitsAndTheFourDigitYear) {
    struct Case {
        const char* text;
        LocalDateTime moment;
        const char* prefix;
        const char* expected;
    };
    const LocalDateTime d = at(2006, 7, 9, 8);
    const std::vector<Case> cases = {
        {"{YYYY}{MM}{DD}_{HH}{NN}{SS}.tif", at(2006, 2, 1, 9, 7, 5), "", "20060201_090705.tif"},
        {"{MM}{YY}|{YYYY}", at(2000, 3, 5), "", "0300|2000"},
        {"{CDD}/{CMM}/{CYYYY}", at(2006, 12, 31), "C", "31/12/2006"},
        {"{DD}{CDD}", at(2006, 12, 31), "C", "{DD}31"},  // the prefix keeps the families apart
        // Every occurrence, exact case only, nothing that merely looks like a code.
        {"{DD}-{DD}-{dd}-{D}-{DD/MM}-{ DD}", d, "", "09-09-{dd}-{D}-{DD/MM}-{ DD}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandDateCodes(c.text, c.moment, c.prefix), c.expected) << c.text << c.prefix;
    }
}

TEST(ExpandTemplate, EachKindKnowsOnlyItsOwnCodes) {
    TemplateFields f = chequeFields();
    f.Amount = "100.50", f.FileName = "0306\\1234.tif", f.MICR = "123456789 0001234";
    f.Name = "HOLDER CARD", f.Account = "4580123456789012", f.DateMM = "05", f.DateYY = "09";
    f.MagPart1 = "%B4580123456789012", f.MagPart2 = "HOLDER/CARD";
    f.ChequeDate = ParseChequeDate("31/12/2006");
    const std::vector<std::string> codes = {
        "ChequeNum", "BankNum",  "BranchNum", "BranchCode", "AccountNum", "FileName",
        "Amount",    "MICR",     "Name",      "Account",    "DateMM",     "DateYY",
        "MagPart1",  "MagPart2", "User",      "HH",         "NN",         "CDD"};
    const std::vector<std::string> values = {
        f.ChequeNum, f.BankNum,  f.BranchNum, f.BranchCode, f.AccountNum, f.FileName,
        f.Amount,    f.MICR,     f.Name,      f.Account,    f.DateMM,     f.DateYY,
        f.MagPart1,  f.MagPart2, "typed",     "09",         "08",         "31"};
    const std::string cheque = "ChequeNum BankNum BranchNum BranchCode AccountNum CDD ";
    const std::string card = "Account DateMM DateYY MagPart1 MagPart2 ";
    struct Case {
        TemplateKind kind;
        std::string known;  // the codes the kind expands
    };
    const std::vector<Case> cases = {
        {TemplateKind::Cheque, cheque + "FileName Amount HH NN"},
        {TemplateKind::FrontImage, cheque + "Amount User HH NN"},
        {TemplateKind::BackImage, cheque + "FileName Amount User HH NN"},
        {TemplateKind::MagStripe1, card + "Name"},
        {TemplateKind::MagStripe2, card},
        {TemplateKind::GenUS, "FileName MICR HH NN"},
        {TemplateKind::GenUSFileName, "MICR User HH NN"},
        {TemplateKind::GenUSBackFileName, "MICR User HH NN"},
        {TemplateKind::ScanOverride, "HH NN"},
    };
    for (const auto& c : cases) {
        std::string all, expected;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            const std::string code = "{" + codes[i] + "}";
            const bool known =
                (" " + c.known + " ").find(" " + codes[i] + " ") != std::string::npos;
            all += code + "|";
            expected += (known ? values[i] : code) + "|";
        }
        EXPECT_EQ(expand(c.kind, all, f, "typed"), expected) << c.known;
    }
}

TEST(UserFileName, AsksOncePerDocumentWithTheRightPromptAndCleansTheAnswer) {
    const std::string front = cp1255::fromUtf8("בחר שם קובץ לתמונה");
    const std::string back = cp1255::fromUtf8("בחר שם קובץ לתמונה אחורית");
    struct Case {
        std::string frontTemplate, backTemplate, answer, prompt, frontName, backName;
    };
    const std::vector<Case> cases = {
        {"f_{User}", "b_{User}", "a:b*c?", front, "f_a_b_c_", "b_a_b_c_"},  // the back reuses
        {"f.tif", "b_{User}", "sub\\name", back, "f.tif", "b_sub\\name"},
        {"f_{User}", "b_{User}", "", front, "f_<<DONTSAVE>>", "b_<<DONTSAVE>>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frontTemplate + " " + c.backTemplate);
        test::ScriptedOperatorUi ui;
        ui.inputBoxAnswers = {c.answer, "second answer must not be used"};
        UserFileName user = UserFileName::through(ui);
        const LocalDateTime now = at(2006, 3, 5);
        EXPECT_EQ(ExpandTemplate(TemplateKind::FrontImage, c.frontTemplate, {}, now, &user),
                  c.frontName);
        EXPECT_EQ(ExpandTemplate(TemplateKind::BackImage, c.backTemplate, {}, now, &user),
                  c.backName);
        ASSERT_EQ(ui.inputBoxes.size(), c.prompt.empty() ? 0u : 1u);
        if (!c.prompt.empty()) {
            EXPECT_EQ(ui.inputBoxes[0].prompt, c.prompt);
            EXPECT_EQ(ui.inputBoxes[0].title, cp1255::fromUtf8("קורא צ'קים"));
        }
    }
}

TEST(ParseChequeDate, AcceptsCalendarDatesOnly) {
    const std::vector<std::pair<std::string, std::string>> valid = {
        {"31/12/2006", "31/12/2006"}, {" 1/2/2006 ", "01/02/2006"}, {"29/02/2008", "29/02/2008"},
        {"29.02.2000", "29/02/2000"}, {"05-03-06", "05/03/2006"},   {"05/03/29", "05/03/2029"},
        {"05/03/30", "05/03/1930"}};
    for (const auto& [text, expected] : valid) {
        const auto date = ParseChequeDate(text);
        ASSERT_TRUE(date.has_value()) << text;
        EXPECT_EQ(FormatDayMonthYear(*date), expected) << text;
    }
    for (const std::string text :
         {"29/02/2006", "29/02/1900", "31/04/2006", "00/01/2006", "01/13/2006", "01/00/2006",
          "01/01/206", "01/01-2006", "1/1/2006x", "123/1/2006"}) {
        EXPECT_FALSE(ParseChequeDate(text).has_value()) << text;
        EXPECT_NE(invalidChequeDateDescription(text).find(text), std::string::npos) << text;
    }
}

TEST(SanitizeFileName, ReplacesForbiddenMarksDropsNulAndMarksEmptyNames) {
    const std::pair<std::string, std::string> names[] = {
        {"a:b*c?", "a_b_c_"}, {"<x>|\"y\"", "_x___y_"}, {"sub\\dir/name", "sub\\dir/name"},
        {"a\0b\0"s, "ab"},    {"", "<<DONTSAVE>>"},     {"\0"s, "<<DONTSAVE>>"}};
    for (const auto& [text, expected] : names) EXPECT_EQ(SanitizeFileName(text), expected) << text;
    EXPECT_EQ(SanitizeFileName(cp1255::fromUtf8("שם קובץ")), cp1255::fromUtf8("שם קובץ"));
}

TEST(MakeDirectoryPath, CreatesMissingParentsAndFailsSilently) {
    test::TempFolder folder, other;
    folder.write("file", "x");
    std::string deep;  // deeper than any real tree: refused, not made piecemeal
    for (int i = 0; i < 300; ++i) deep += "d\\";
    // A Hebrew name reaches the disk as Unicode; a file in the way and the deep path fail quietly.
    const std::string hebrew = cp1255::fromUtf8("תיקייה\\משנה");
    const std::string absolute = fromFsPath(other.path()) + "\\abs\\x";
    for (const std::string& path :
         std::vector<std::string>{"0306\\US\\", "0306\\US\\", "op/typed\\x", hebrew, absolute,
                                  "file\\sub\\deeper", deep}) {
        MakeDirectoryPath(folder.path(), path);
        std::error_code ignored;
        EXPECT_EQ(std::filesystem::is_directory(resolveIn(folder.path(), path), ignored),
                  path.rfind("file", 0) != 0 && path != deep)
            << path.substr(0, 40);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "d/d/d/d/d/d/d/d/d"));
}

}  // namespace
}  // namespace korvex
