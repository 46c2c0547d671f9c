#pragma once
// The pictures the program draws itself: its own icon (a cheque with a magnetic code line, on a
// transparent ground) and the profile icon of the tray.

#include <QImage>
#include <cstdint>

namespace korvex::ui {

// The program's icon, size x size pixels, transparent around the cheque.
QImage programIcon(int size = 32);

// Edge of the tray icon's drawing surface in pixels.
inline constexpr int kTrayIconSurface = 36;

// ChangeIcon's picture: the surface in the background colour, the program icon over it at its
// own size in the top-left corner, and when fontSize > 1 the profile number (with its leading
// blank) in bold, at fontSize points, in the text colour, from the top-left corner.
QImage profileIcon(uint8_t red, uint8_t green, uint8_t blue, int fontSize, uint8_t textRed,
                   uint8_t textGreen, uint8_t textBlue, int32_t profileNumber);

}  // namespace korvex::ui
