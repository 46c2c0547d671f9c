#include "ui/AutoResize.h"

#include <cmath>
#include <limits>

namespace korvex {

namespace {

double ratio(int part, int whole) { return whole == 0 ? 0.0 : static_cast<double>(part) / whole; }

// The largest whole number not above size * fraction, kept inside int. The fraction went
// through a division, so a product that should be whole can fall a hair short of it (15 / 22 *
// 22 = 14.999...); a tolerance far below one unit keeps an unchanged size from shrinking
// controls.
int scaled(int size, double fraction) {
    const double v = std::floor(static_cast<double>(size) * fraction + 1e-7);
    if (!(v >= std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

}  // namespace

void AutoResize::Go(AutoResizeTarget& window, bool ReRecord) {
    if (!recorded_ || ReRecord) {
        record(window);
        return;
    }
    resize();
}

void AutoResize::record(AutoResizeTarget& window) {
    window_ = &window;
    const std::size_t n = window.controlCount();
    // One record per control plus the empty one at the end.
    layout_.assign(n + 1, Record{});
    const int w = window.formWidth(), h = window.formHeight();
    for (std::size_t i = 0; i < n; ++i) {
        Record& r = layout_[i];
        r.name = window.controlName(i);
        if (const auto box = window.controlBox(i)) {
            r.left = ratio(box->left, w);
            r.top = ratio(box->top, h);
            r.width = ratio(box->width, w);
            r.height = ratio(box->height, h);
        }
    }
    if (n > 0) recorded_ = true;
}

void AutoResize::resize() {
    if (window_ == nullptr) return;
    AutoResizeTarget& window = *window_;
    const int w = window.formWidth(), h = window.formHeight();
    for (std::size_t i = 0; i < window.controlCount(); ++i) {
        if (!window.controlBox(i)) continue;
        const std::string name = window.controlName(i);
        // The trailing empty record is not a control's: a nameless control must not match it.
        const Record* found = nullptr;
        for (std::size_t k = 0; k + 1 < layout_.size(); ++k) {
            if (layout_[k].name == name) {
                found = &layout_[k];
                break;
            }
        }
        if (found == nullptr) continue;
        window.setControlBox(i, ControlBox{scaled(w, found->left), scaled(h, found->top),
                                           scaled(w, found->width), scaled(h, found->height)});
    }
}

}  // namespace korvex
