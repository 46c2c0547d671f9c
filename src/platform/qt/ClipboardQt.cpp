#include "platform/qt/ClipboardQt.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

#include "platform/KeyInjector.h"
#include "platform/KeyboardLayout.h"
#include "text/Cp1255.h"

namespace korvex {

PlatformResult ClipboardQt::setText(const std::string& text) {
    QClipboard* clipboard =
        QGuiApplication::instance() != nullptr ? QGuiApplication::clipboard() : nullptr;
    if (clipboard == nullptr) {
        return PlatformResult::failure(PlatformResult::Kind::Unavailable,
                                       "no clipboard without a graphical session");
    }
    clipboard->clear();
    const std::string utf8 = cp1255::toUtf8(text);
    clipboard->setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return PlatformResult::ok();
}

PlatformResult ClipboardQt::paste(uint64_t) {
    // The shortcut goes to whichever window has the focus, which is the foreground window.
    const auto control = static_cast<uint8_t>(layout_.mapVirtualKey(17));
    const auto v = static_cast<uint8_t>(layout_.mapVirtualKey('V'));
    PlatformResult sent =
        keys_.sendBatch({KeyEvent::key(17, control, false), KeyEvent::key('V', v, false),
                         KeyEvent::key('V', v, true), KeyEvent::key(17, control, true)});
    keys_.waitUntilProcessed();
    return sent;
}

}  // namespace korvex
