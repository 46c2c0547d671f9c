#pragma once
// The small decisions of the operator windows that are not widget plumbing: what the tray icon
// writes and shows, where the transfer window goes and what its progress picture says, and how
// the details window names and routes a hand-typed reader message. Texts are Windows-1255.

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvex {

// --- tray -----------------------------------------------------------------------------------
// The profile number as a number is printed by default: the sign position (a blank for a
// non-negative number) before the digits: 3 -> " 3", -2 -> "-2".
std::string trayNumberText(int32_t profileNumber);
// The number is drawn only with a font size above 1.
bool trayShowsNumber(int fontSize);
// The tooltip field (64 characters: text, NUL, blanks) as the text the tray shows: everything
// before the first NUL; a field without one is cut at 63 characters, as the tray reads it.
std::string trayTooltipText(const std::string& tooltipField);
// The tooltip before the first profile is loaded: "קורא צ'קים וכרטיסים", NUL, blanks to 64.
std::string initialTrayTooltipField();

// --- transfer window --------------------------------------------------------------------------
struct WindowPoint {
    int left = 0, top = 0;
};
// The window's corner: floor(0.98 x the work area's right edge) - width, the same downwards with
// the bottom edge. Edges are exclusive (right = left + width of the work area).
WindowPoint transferWindowPosition(int workRight, int workBottom, int width, int height);

// DrawProgress: (value - minimum) / (maximum - minimum); 0 when the range is empty, so a caller's
// mistake draws an empty bar instead of dividing by zero.
double progressFraction(int32_t minimum, int32_t maximum, int32_t value);
// The bar's width in pixels in a picture `pictureWidth` wide: floor(fraction x width), kept
// within 0..pictureWidth.
int progressBarWidth(double fraction, int pictureWidth);
// The whole percentage followed by one blank: 0.37 -> "37% " (halves away from zero).
std::string progressPercentText(double fraction);

// --- details window ---------------------------------------------------------------------------
// The name TryString gives a class number (0 "לא מזוהה" ... 6 "צ'ק של נונוס"; 5 and unknown
// numbers have none).
std::string inputClassName(int inputClass);
// The question after classifying: "תוצאה: " + name, CR LF CR LF, and the offer to process it.
std::string tryStringQuestion(int inputClass);
inline constexpr const char* kTryStringTitleUtf8 = "מידע ידני";

// What a Yes to TryString's question does with the text.
struct TryStringRoute {
    enum class Kind { Nothing, Cheque, MagStripe } kind = Kind::Nothing;
    std::string text;  // what the pipeline receives
};
// Classes 1 and 6: the cheque pipeline with the text; 2: the card pipeline; 4 (postal-bank
// cheque): the cheque pipeline with the text up to and including its last "C"; others: nothing.
TryStringRoute tryStringRoute(int inputClass, const std::string& text);

// The ReaderData box keeps the last 1024 characters of what it is given.
inline constexpr std::size_t kReaderDataLimit = 1024;

}  // namespace korvex
