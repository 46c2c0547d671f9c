#include "ui/OperatorWindowRules.h"

#include <gtest/gtest.h>

#include "text/Cp1255.h"

namespace korvex {
namespace {

TEST(OperatorWindowRules, TrayNumberAndTooltip) {
    EXPECT_EQ(trayNumberText(3) + trayNumberText(12) + trayNumberText(0) + trayNumberText(-2),
              " 3 12 0-2");
    EXPECT_FALSE(trayShowsNumber(1) || trayShowsNumber(0));
    EXPECT_TRUE(trayShowsNumber(2));

    const std::string initial = initialTrayTooltipField();
    EXPECT_EQ(std::tuple(initial.size(), initial.back()), std::tuple(64u, ' '));
    EXPECT_EQ(cp1255::toUtf8(trayTooltipText(initial)), "קורא צ'קים וכרטיסים");
    EXPECT_EQ(trayTooltipText(std::string("ab\0cd", 5)) + trayTooltipText(""), "ab");
}

TEST(OperatorWindowRules, TransferWindowSitsAt98PercentOfTheWorkArea) {
    const WindowPoint p = transferWindowPosition(1920, 1040, 300, 120);  // 1881.6, 1019.2 down
    EXPECT_EQ(std::pair(p.left, p.top), std::pair(1881 - 300, 1019 - 120));
    const WindowPoint tiny = transferWindowPosition(100, 100, 200, 200);  // off the corner
    EXPECT_EQ(std::pair(tiny.left, tiny.top), std::pair(-102, -102));
}

TEST(OperatorWindowRules, ProgressFractionBarAndText) {
    const struct {
        int32_t min, max, value;
        int pictureWidth;
        int bar;
        const char* text;
    } cases[] = {
        {0, 50000, 20000, 200, 80, "40% "},
        {0, 1000, 5, 300, 1, "1% "},         // 0.5 % rounds up, 1.5 px down
        {0, 1000, 1100, 300, 300, "110% "},  // more bytes than announced: bar full
        {10, 10, 10, 300, 0, "0% "},         // empty range: no division by zero
    };
    for (const auto& c : cases) {
        const double f = progressFraction(c.min, c.max, c.value);
        EXPECT_EQ(progressBarWidth(f, c.pictureWidth), c.bar) << c.value;
        EXPECT_EQ(progressPercentText(f), c.text) << c.value;
    }
}

TEST(OperatorWindowRules, TryStringNamesAndRoutes) {
    const struct {
        int cls;
        const char* name;
        TryStringRoute::Kind kind;
    } cases[] = {
        {0, "לא מזוהה", TryStringRoute::Kind::Nothing},
        {1, "צ'ק רגיל", TryStringRoute::Kind::Cheque},
        {2, "כרטיס מגנטי", TryStringRoute::Kind::MagStripe},
        {4, "צ'ק של בנק הדואר", TryStringRoute::Kind::Cheque},
        {99, "", TryStringRoute::Kind::Nothing},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp1255::toUtf8(inputClassName(c.cls)), c.name) << c.cls;
        EXPECT_EQ(tryStringRoute(c.cls, "A1C2C3").kind, c.kind) << c.cls;
    }
    EXPECT_EQ(tryStringRoute(1, "A1C2C3").text, "A1C2C3");
    EXPECT_EQ(tryStringRoute(4, "A1C2C3").text, "A1C2C");  // up to and including the last C
    EXPECT_EQ(cp1255::toUtf8(tryStringQuestion(1)),
              "תוצאה: צ'ק רגיל\r\n\r\nהאם ברצונך לנסות לעבד את המידע, כולל העברת המידע כמקשים "
              "לתוכנה, במידת הצורך?");
}

}  // namespace
}  // namespace korvex
