#pragma once
// AutoResize keeps a window's controls in proportion when the window is resized: it records,
// once, every control's position as fractions of the window's size and later moves and sizes each
// control to the same fractions of the new size. Fonts are not scaled.
//
// The window is seen through AutoResizeTarget so the rules run (and are tested) without a toolkit.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace korvex {

struct ControlBox {
    int left = 0, top = 0, width = 0, height = 0;
};

// A window as AutoResize sees it: its size and its controls in the window's enumeration order.
class AutoResizeTarget {
public:
    virtual ~AutoResizeTarget() = default;
    virtual int formWidth() const = 0;
    virtual int formHeight() const = 0;
    virtual std::size_t controlCount() const = 0;
    virtual std::string controlName(std::size_t index) const = 0;
    // nullopt for a control without a position (a timer, a menu).
    virtual std::optional<ControlBox> controlBox(std::size_t index) const = 0;
    virtual void setControlBox(std::size_t index, const ControlBox& box) = 0;
};

class AutoResize {
public:
    struct Record {
        std::string name;
        double left = 0, top = 0, width = 0, height = 0;  // fractions of the window's size
    };

    // Records the layout when nothing is recorded yet (or when reRecord is set); otherwise moves
    // every control to its recorded fractions of the window's present size. Never fails: a ratio
    // that cannot be computed (a zero-sized window) stays 0, a control without a position or
    // without a record is left alone.
    void Go(AutoResizeTarget& window, bool ReRecord);

    bool recorded() const { return recorded_; }
    const std::vector<Record>& layout() const { return layout_; }

private:
    void record(AutoResizeTarget& window);
    void resize();

    AutoResizeTarget* window_ = nullptr;
    std::vector<Record> layout_;
    bool recorded_ = false;
};

}  // namespace korvex
