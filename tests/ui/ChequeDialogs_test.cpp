#include "ui/ChequeDialogs.h"

#include <gtest/gtest.h>

#include "text/Cp1255.h"

namespace korvex {
namespace {

TEST(ChequeDialogs, MarkMissingDataSelectsFromFirstToLastMarker) {
    const struct {
        const char* text;
        std::optional<TextSelection> expected;
    } cases[] = {
        {"12?4?6", TextSelection{2, 3}}, {"a;b;", TextSelection{1, 3}},
        {"?@;", TextSelection{0, 1}},  // "?" wins over the others
        {"@1;", TextSelection{0, 1}},  // "@" wins over ";"
        {"123456", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = MarkMissingData(c.text);
        const auto pair = [](const std::optional<TextSelection>& s) {
            return s ? std::pair(int(s->start), int(s->length)) : std::pair(-1, -1);
        };
        EXPECT_EQ(pair(got), pair(c.expected)) << c.text;
    }
}

TEST(ChequeDialogs, LinesAreRebuiltInTheReadersNotationAndTheCaptionCarriesTheCode) {
    EXPECT_EQ(composeMagtekLine("123", "10", "456", "789"), "A123 C10A456E 789C");
    EXPECT_EQ(composeNonusLine("123", "10", "456", "789"), ":123 <10:456> 789<");
    EXPECT_EQ(composeMagtekLine("5 ", "", "", ""), "A5  CAE C");  // taken as typed, spaces too
    EXPECT_EQ(cp1255::toUtf8(verifyCodeCaption(888)),
              "הצ'ק לא תקין, קוד שגיאה 888. סמן תיבה זו כדי להתעלם.");
}

TEST(ChequeDialogs, DateBoxReading) {
    EXPECT_EQ(dialogDateText("31/12/99"), "31/12/2099");
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"29/02/24", true},  {"29/02/26", false}, {"12/__/26", false},
        {"31/04/26", false}, {"00/01/26", false}, {"01/13/26", false},
    };
    for (const auto& c : cases) EXPECT_EQ(parseDialogDate(c.text).has_value(), c.valid) << c.text;
    EXPECT_EQ(dialogDateBoxText(6, 3, 2026), "06/03/26");
}

}  // namespace
}  // namespace korvex
