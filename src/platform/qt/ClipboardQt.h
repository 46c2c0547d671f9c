#pragma once
// The clipboard through Qt. The program stays the clipboard's owner, so its event loop must run
// for the target to receive the text (the paste is answered once FeedStringToApp returns to it).
// The paste command is the paste shortcut, Control+V, sent to the focused window through the key
// injector.

#include "platform/Clipboard.h"

namespace korvex {

class KeyInjector;
class KeyboardLayout;

class ClipboardQt : public Clipboard {
public:
    ClipboardQt(KeyInjector& keys, KeyboardLayout& layout) : keys_(keys), layout_(layout) {}

    // Unavailable when no QGuiApplication exists.
    PlatformResult setText(const std::string& text) override;
    // What the key injector reports for the shortcut.
    PlatformResult paste(uint64_t window) override;

private:
    KeyInjector& keys_;
    KeyboardLayout& layout_;
};

}  // namespace korvex
