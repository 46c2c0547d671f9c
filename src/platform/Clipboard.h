#pragma once
// The clipboard route: replace the clipboard's text and make a window paste it.

#include <cstdint>
#include <string>

#include "platform/PlatformResult.h"

namespace korvex {

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Empties the clipboard and puts the plain text on it (Windows-1255; the back end converts).
    // A failure (the clipboard cannot be taken) leaves the clipboard's content unknown.
    virtual PlatformResult setText(const std::string& text) = 0;

    // Delivers the paste command to the window (a handle from WindowActivator::foregroundWindow)
    // and returns once it was handed over. Windows sends WM_SYSCOMMAND 0xE001; X11 sends the
    // paste shortcut to the focused window. A failure: the command was not delivered.
    virtual PlatformResult paste(uint64_t window) = 0;
};

}  // namespace korvex
