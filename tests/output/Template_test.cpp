#include "output/Template.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "output/FileName.h"
#include "support/ScriptedOperatorUi.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

LocalDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return LocalDateTime{year, month, day, hour, minute, second};
}

TemplateFields chequeFields() {
    TemplateFields f;
    f.ChequeNum = "1234";
    f.BankNum = "12";
    f.BranchNum = "456";
    f.BranchCode = "7";
    f.AccountNum = "789012";
    return f;
}

struct DateCase {
    const char* text;
    LocalDateTime moment;
    const char* prefix;
    const char* expected;
};

TEST(ExpandDateCodes, ReplacesEachCodeWithTwoDigitsAndTheFourDigitYear) {
    const std::vector<DateCase> cases = {
        {"{YYYY}{MM}{DD}_{HH}{NN}{SS}.tif", at(2006, 2, 1, 9, 7, 5), "", "20060201_090705.tif"},
        {"{MM}{YY}", at(2006, 3, 5), "", "0306"},
        {"{YY}|{YYYY}", at(2000, 1, 1), "", "00|2000"},
        {"{HH}:{NN}:{SS}", at(2024, 12, 31, 23, 59, 58), "", "23:59:58"},
        // Minute is {NN}; {MM} is the month even in a time-looking text.
        {"{HH}:{MM}", at(2006, 4, 1, 10, 30), "", "10:04"},
        {"{CDD}/{CMM}/{CYYYY}", at(2006, 12, 31), "C", "31/12/2006"},
        // The prefix keeps the two families apart.
        {"{DD}{CDD}", at(2006, 12, 31), "C", "{DD}31"},
        {"{DD}{CDD}", at(2006, 12, 31), "", "31{CDD}"},
        // Every occurrence, exact case only, nothing that merely looks like a code.
        {"{DD}-{DD}-{dd}-{D}-{DD/MM}-{ DD}", at(2006, 7, 9), "", "09-09-{dd}-{D}-{DD/MM}-{ DD}"},
        {"{HH", at(2006, 7, 9, 8), "", "{HH"},
        {"HH}", at(2006, 7, 9, 8), "", "HH}"},
        {"{{HH}}", at(2006, 7, 9, 8), "", "{08}"},
        {"", at(2006, 7, 9, 8), "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandDateCodes(c.text, c.moment, c.prefix), c.expected)
            << c.text << " prefix " << c.prefix;
    }
}

TEST(ReplaceCode, ReplacesEveryOccurrenceWithoutRescanningTheValue) {
    EXPECT_EQ(ReplaceCode("{A}{A}x{A}", "{A}", "1"), "11x1");
    EXPECT_EQ(ReplaceCode("{A}", "{A}", "{A}{A}"), "{A}{A}");
    EXPECT_EQ(ReplaceCode("{a}", "{A}", "1"), "{a}");
    EXPECT_EQ(ReplaceCode(std::string("x\0{A}y", 6), "{A}", "1"), std::string("x\0"
                                                                              "1y",
                                                                              4));
}

struct KindCase {
    const char* name;
    TemplateKind kind;
    const char* text;
    const char* expected;
};

TEST(ExpandTemplate, EachKindKnowsOnlyItsOwnCodes) {
    TemplateFields f = chequeFields();
    f.Amount = "100.50";
    f.FileName = "0306\\1234.tif";
    f.MICR = "123456789 0001234";
    f.Name = "HOLDER CARD";
    f.Account = "4580123456789012";
    f.DateMM = "05";
    f.DateYY = "09";
    f.MagPart1 = "%B4580123456789012";
    f.MagPart2 = "HOLDER/CARD";
    const LocalDateTime moment = at(2006, 3, 5, 14, 30, 15);
    const std::string all =
        "{ChequeNum}|{BankNum}|{BranchNum}|{BranchCode}|{AccountNum}|{FileName}|{Amount}|{MICR}|"
        "{Name}|{Account}|{DateMM}|{DateYY}|{MagPart1}|{MagPart2}|{User}|{HH}{NN}";
    const std::vector<KindCase> cases = {
        {"cheque", TemplateKind::Cheque,
         "{ChequeNum}{TAB}{BankNum}{TAB}{BranchNum}{TAB}{AccountNum}{ENTER}",
         "1234{TAB}12{TAB}456{TAB}789012{ENTER}"},
        {"cheque all", TemplateKind::Cheque, all.c_str(),
         "1234|12|456|7|789012|0306\\1234.tif|100.50|{MICR}|{Name}|{Account}|{DateMM}|{DateYY}|{"
         "MagPart1}|"
         "{MagPart2}|{User}|1430"},
        {"front all", TemplateKind::FrontImage, all.c_str(),
         "1234|12|456|7|789012|{FileName}|100.50|{MICR}|{Name}|{Account}|{DateMM}|{DateYY}|{"
         "MagPart1}|"
         "{MagPart2}|typed|1430"},
        {"back all", TemplateKind::BackImage, all.c_str(),
         "1234|12|456|7|789012|0306\\1234.tif|100.50|{MICR}|{Name}|{Account}|{DateMM}|{DateYY}|"
         "{MagPart1}|{MagPart2}|typed|1430"},
        {"card1 all", TemplateKind::MagStripe1, all.c_str(),
         "{ChequeNum}|{BankNum}|{BranchNum}|{BranchCode}|{AccountNum}|{FileName}|{Amount}|{MICR}|"
         "HOLDER CARD|4580123456789012|05|09|%B4580123456789012|HOLDER/CARD|{User}|{HH}{NN}"},
        {"card2 all", TemplateKind::MagStripe2, all.c_str(),
         "{ChequeNum}|{BankNum}|{BranchNum}|{BranchCode}|{AccountNum}|{FileName}|{Amount}|{MICR}|"
         "{Name}|4580123456789012|05|09|%B4580123456789012|HOLDER/CARD|{User}|{HH}{NN}"},
        {"us all", TemplateKind::GenUS, all.c_str(),
         "{ChequeNum}|{BankNum}|{BranchNum}|{BranchCode}|{AccountNum}|0306\\1234.tif|{Amount}|"
         "123456789 0001234|{Name}|{Account}|{DateMM}|{DateYY}|{MagPart1}|{MagPart2}|{User}|1430"},
        {"us front all", TemplateKind::GenUSFileName, all.c_str(),
         "{ChequeNum}|{BankNum}|{BranchNum}|{BranchCode}|{AccountNum}|{FileName}|{Amount}|"
         "123456789 0001234|{Name}|{Account}|{DateMM}|{DateYY}|{MagPart1}|{MagPart2}|typed|1430"},
        {"us back all", TemplateKind::GenUSBackFileName, all.c_str(),
         "{ChequeNum}|{BankNum}|{BranchNum}|{BranchCode}|{AccountNum}|{FileName}|{Amount}|"
         "123456789 0001234|{Name}|{Account}|{DateMM}|{DateYY}|{MagPart1}|{MagPart2}|typed|1430"},
        {"override all", TemplateKind::ScanOverride, all.c_str(),
         "{ChequeNum}|{BankNum}|{BranchNum}|{BranchCode}|{AccountNum}|{FileName}|{Amount}|{MICR}|"
         "{Name}|{Account}|{DateMM}|{DateYY}|{MagPart1}|{MagPart2}|{User}|1430"},
        {"csvren sample", TemplateKind::CSVRen, "Log-old-{HH}{NN}{SS}{DD}{MM}{YYYY}.CSV",
         "Log-old-14301505032006.CSV"},
        {"front sample", TemplateKind::FrontImage, "{MM}{YY}\\{ChequeNum}_{AccountNum}.tif",
         "0306\\1234_789012.tif"},
        {"us front sample", TemplateKind::GenUSFileName, "{MM}{YY}\\US\\{MICR}.tif",
         "0306\\US\\123456789 0001234.tif"},
        {"us keys sample", TemplateKind::GenUS, "{TAB}{MICR}{ENTER}",
         "{TAB}123456789 0001234{ENTER}"},
        {"card2 sample", TemplateKind::MagStripe2, "{MagPart1}={MagPart2}{ENTER}",
         "%B4580123456789012=HOLDER/CARD{ENTER}"},
        {"wrong case and unclosed", TemplateKind::Cheque,
         "{chequenum}{CHEQUENUM}{ChequeNum{BankNum}}{ Amount}",
         "{chequenum}{CHEQUENUM}{ChequeNum12}{ Amount}"},
        {"empty", TemplateKind::Cheque, "", ""},
    };
    for (const auto& c : cases) {
        test::ScriptedOperatorUi ui;
        ui.inputBoxAnswers.push_back("typed");
        UserFileName user = UserFileName::through(ui);
        EXPECT_EQ(ExpandTemplate(c.kind, c.text, f, moment, &user), c.expected) << c.name;
    }
}

TEST(ExpandTemplate, ValuesAreExpandedByLaterCodesOnly) {
    const LocalDateTime moment = at(2006, 3, 5, 9, 8, 7);
    TemplateFields f;
    // {AccountNum} comes after {ChequeNum}: a cheque number holding it is expanded in turn; an
    // account holding {ChequeNum} stays literal.
    f.ChequeNum = "{AccountNum}";
    f.AccountNum = "{ChequeNum}";
    EXPECT_EQ(ExpandTemplate(TemplateKind::Cheque, "{ChequeNum}", f, moment, nullptr),
              "{ChequeNum}");
    EXPECT_EQ(ExpandTemplate(TemplateKind::Cheque, "{AccountNum}", f, moment, nullptr),
              "{ChequeNum}");

    // A {User} answer "{HH}" becomes the hour, in front and back names alike.
    for (const TemplateKind kind : {TemplateKind::FrontImage, TemplateKind::BackImage,
                                    TemplateKind::GenUSFileName, TemplateKind::GenUSBackFileName}) {
        test::ScriptedOperatorUi ui;
        ui.inputBoxAnswers.push_back("{HH}");
        UserFileName user = UserFileName::through(ui);
        EXPECT_EQ(ExpandTemplate(kind, "x{User}", {}, moment, &user), "x09")
            << static_cast<int>(kind);
    }
    // In a back name {FileName} comes before {User}: a file name holding {User} is asked for.
    test::ScriptedOperatorUi ui;
    ui.inputBoxAnswers.push_back("op");
    UserFileName user = UserFileName::through(ui);
    f = {};
    f.FileName = "{User}.tif";
    EXPECT_EQ(ExpandTemplate(TemplateKind::BackImage, "{FileName}", f, moment, &user), "op.tif");
}

TEST(ExpandTemplate, ChequeDateCodesOnlyWhenTheDateIsGiven) {
    TemplateFields f = chequeFields();
    const LocalDateTime now = at(2007, 1, 2, 3, 4, 5);
    for (const TemplateKind kind :
         {TemplateKind::Cheque, TemplateKind::FrontImage, TemplateKind::BackImage}) {
        f.ChequeDate.reset();
        EXPECT_EQ(ExpandTemplate(kind, "{CDD}/{CMM}/{CYYYY}", f, now, nullptr),
                  "{CDD}/{CMM}/{CYYYY}");
        f.ChequeDate = ParseChequeDate("31/12/2006");
        ASSERT_TRUE(f.ChequeDate.has_value());
        EXPECT_EQ(ExpandTemplate(kind, "{CDD}/{CMM}/{CYYYY} {DD}/{MM}/{YYYY}", f, now, nullptr),
                  "31/12/2006 02/01/2007");
    }
    // Kinds that are not cheques never know them.
    f.ChequeDate = ParseChequeDate("31/12/2006");
    for (const TemplateKind kind :
         {TemplateKind::GenUS, TemplateKind::MagStripe1, TemplateKind::CSVRen}) {
        EXPECT_EQ(ExpandTemplate(kind, "{CDD}", f, now, nullptr), "{CDD}");
    }
}

TEST(UserFileName, AsksOncePerDocumentWithTheRightPromptAndCleansTheAnswer) {
    const std::string title = cp1255::fromUtf8("קורא צ'קים");
    const std::string front = cp1255::fromUtf8("בחר שם קובץ לתמונה");
    const std::string back = cp1255::fromUtf8("בחר שם קובץ לתמונה אחורית");
    struct Case {
        const char* name;
        std::string frontTemplate;
        std::string backTemplate;
        std::string answer;
        std::vector<std::string> prompts;
        std::string frontName;
        std::string backName;
    };
    const std::vector<Case> cases = {
        {"front asks, back reuses",
         "f_{User}",
         "b_{User}",
         "a:b*c?",
         {front},
         "f_a_b_c_",
         "b_a_b_c_"},
        {"only the back asks", "f.tif", "b_{User}", "sub\\name", {back}, "f.tif", "b_sub\\name"},
        {"no code, no question", "f.tif", "b.tif", "never", {}, "f.tif", "b.tif"},
        {"empty answer", "f_{User}", "b_{User}", "", {front}, "f_<<DONTSAVE>>", "b_<<DONTSAVE>>"},
    };
    const LocalDateTime now = at(2006, 3, 5);
    for (const auto& c : cases) {
        test::ScriptedOperatorUi ui;
        ui.inputBoxAnswers.push_back(c.answer);
        ui.inputBoxAnswers.push_back("second answer must not be used");
        UserFileName user = UserFileName::through(ui);
        EXPECT_EQ(ExpandTemplate(TemplateKind::FrontImage, c.frontTemplate, {}, now, &user),
                  c.frontName)
            << c.name;
        EXPECT_EQ(ExpandTemplate(TemplateKind::BackImage, c.backTemplate, {}, now, &user),
                  c.backName)
            << c.name;
        ASSERT_EQ(ui.inputBoxes.size(), c.prompts.size()) << c.name;
        for (size_t i = 0; i < c.prompts.size(); ++i) {
            EXPECT_EQ(ui.inputBoxes[i].prompt, c.prompts[i]) << c.name;
            EXPECT_EQ(ui.inputBoxes[i].title, title) << c.name;
        }
    }
}

TEST(UserFileName, WithoutAnOperatorTheCodeStaysLiteral) {
    EXPECT_EQ(ExpandTemplate(TemplateKind::FrontImage, "{User}.tif", {}, at(2006, 1, 1), nullptr),
              "{User}.tif");
}

TEST(ExpandTemplate, HugeAndBinaryTemplatesExpandWithoutLoss) {
    std::string text(1 << 20, '\xff');
    text += "{ChequeNum}";
    text += std::string("\0{", 2);
    const std::string out =
        ExpandTemplate(TemplateKind::Cheque, text, chequeFields(), at(2006, 1, 1), nullptr);
    EXPECT_EQ(out.size(), (1u << 20) + 4 + 2);
    EXPECT_EQ(out.substr(1 << 20), std::string("1234\0{", 6));
}

struct ChequeDateCase {
    const char* text;
    std::optional<std::string> expected;  // dd/mm/yyyy
};

TEST(ParseChequeDate, AcceptsCalendarDatesOnly) {
    const std::vector<ChequeDateCase> cases = {
        {"31/12/2006", "31/12/2006"}, {" 1/2/2006 ", "01/02/2006"}, {"29/02/2008", "29/02/2008"},
        {"29.02.2000", "29/02/2000"}, {"05-03-06", "05/03/2006"},   {"05/03/29", "05/03/2029"},
        {"05/03/30", "05/03/1930"},   {"29/02/2006", std::nullopt}, {"29/02/1900", std::nullopt},
        {"31/04/2006", std::nullopt}, {"00/01/2006", std::nullopt}, {"01/13/2006", std::nullopt},
        {"01/00/2006", std::nullopt}, {"01/01/206", std::nullopt},  {"01/01/20066", std::nullopt},
        {"01/01-2006", std::nullopt}, {"__/__/____", std::nullopt}, {"", std::nullopt},
        {"1/1/2006x", std::nullopt},  {"123/1/2006", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto date = ParseChequeDate(c.text);
        ASSERT_EQ(date.has_value(), c.expected.has_value()) << c.text;
        if (date) {
            EXPECT_EQ(FormatDayMonthYear(*date), *c.expected) << c.text;
        } else if (*c.text != '\0') {
            EXPECT_NE(invalidChequeDateDescription(c.text).find(c.text), std::string::npos)
                << c.text;
        }
    }
}

}  // namespace
}  // namespace korvex
