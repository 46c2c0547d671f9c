#include "ui/OperatorWindowRules.h"

#include <cmath>

#include "text/Cp1255.h"

namespace korvex {

std::string trayNumberText(int32_t profileNumber) {
    const std::string digits = std::to_string(profileNumber);
    return profileNumber < 0 ? digits : " " + digits;
}

bool trayShowsNumber(int fontSize) { return fontSize > 1; }

std::string trayTooltipText(const std::string& tooltipField) {
    const auto nul = tooltipField.find('\0');
    if (nul != std::string::npos) return tooltipField.substr(0, nul);
    return tooltipField.substr(0, 63);
}

std::string initialTrayTooltipField() {
    std::string field = cp1255::fromUtf8("קורא צ'קים וכרטיסים");
    field.push_back('\0');
    if (field.size() < 64) field.append(64 - field.size(), ' ');
    return field;
}

WindowPoint transferWindowPosition(int workRight, int workBottom, int width, int height) {
    const auto at98 = [](int edge) { return static_cast<int>(std::floor(0.98 * edge)); };
    return {at98(workRight) - width, at98(workBottom) - height};
}

double progressFraction(int32_t minimum, int32_t maximum, int32_t value) {
    const double range = static_cast<double>(maximum) - minimum;
    if (range == 0) return 0.0;
    return (static_cast<double>(value) - minimum) / range;
}

int progressBarWidth(double fraction, int pictureWidth) {
    if (!(fraction > 0) || pictureWidth <= 0) return 0;
    if (fraction >= 1) return pictureWidth;
    return static_cast<int>(std::floor(fraction * pictureWidth));
}

std::string progressPercentText(double fraction) {
    if (!std::isfinite(fraction)) fraction = 0;
    // Bounded so a runaway value cannot overflow the conversion.
    const double percent = std::round(std::fmax(-1e9, std::fmin(1e9, fraction * 100.0)));
    return std::to_string(static_cast<long long>(percent)) + "% ";
}

std::string inputClassName(int inputClass) {
    const char* name = "";
    switch (inputClass) {
        case 0: name = "לא מזוהה"; break;
        case 1: name = "צ'ק רגיל"; break;
        case 2: name = "כרטיס מגנטי"; break;
        case 3: name = "מסמך ללא דיו מגנטית"; break;
        case 4: name = "צ'ק של בנק הדואר"; break;
        case 6: name = "צ'ק של נונוס"; break;
        default: break;
    }
    return cp1255::fromUtf8(name);
}

std::string tryStringQuestion(int inputClass) {
    return cp1255::fromUtf8("תוצאה: ") + inputClassName(inputClass) + "\r\n\r\n" +
           cp1255::fromUtf8(
               "האם ברצונך לנסות לעבד את המידע, כולל העברת המידע כמקשים לתוכנה, במידת הצורך?");
}

TryStringRoute tryStringRoute(int inputClass, const std::string& text) {
    switch (inputClass) {
        case 1:
        case 6: return {TryStringRoute::Kind::Cheque, text};
        case 2: return {TryStringRoute::Kind::MagStripe, text};
        case 4: {
            const auto lastC = text.rfind('C');
            // A postal-bank cheque always holds a "C"; without one there is nothing to cut.
            if (lastC == std::string::npos) return {TryStringRoute::Kind::Cheque, text};
            return {TryStringRoute::Kind::Cheque, text.substr(0, lastC + 1)};
        }
        default: return {};
    }
}

}  // namespace korvex
