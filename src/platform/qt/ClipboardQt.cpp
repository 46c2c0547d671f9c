#include "platform/qt/ClipboardQt.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

#include "platform/KeyInjector.h"
#include "platform/KeyboardLayout.h"
#include "text/Cp1255.h"

namespace korvex {

bool ClipboardQt::setText(const std::string& text) {
    if (QGuiApplication::instance() == nullptr) return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return false;
    clipboard->clear();
    const std::string utf8 = cp1255::toUtf8(text);
    clipboard->setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return true;
}

void ClipboardQt::paste(uint64_t) {
    // The shortcut goes to whichever window has the focus, which is the foreground window.
    const auto control = static_cast<uint8_t>(layout_.mapVirtualKey(17));
    const auto v = static_cast<uint8_t>(layout_.mapVirtualKey('V'));
    keys_.sendBatch({KeyEvent::key(17, control, false), KeyEvent::key('V', v, false),
                     KeyEvent::key('V', v, true), KeyEvent::key(17, control, true)});
    keys_.waitUntilProcessed();
}

}  // namespace korvex
