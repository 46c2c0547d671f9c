#include "ui/AutoResize.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

// A window of named controls; a control without a box stands for a timer or a menu.
struct FakeForm : AutoResizeTarget {
    struct Control {
        std::string name;
        std::optional<ControlBox> box;
    };
    int w = 1000, h = 600;
    std::vector<Control> controls = {
        {"ChequeNum", ControlBox{100, 55, 333, 25}},
        {"Timer", std::nullopt},
        {"ChequeNum", ControlBox{0, 301, 999, 299}}};  // a shared name: the first record

    int formWidth() const override { return w; }
    int formHeight() const override { return h; }
    std::size_t controlCount() const override { return controls.size(); }
    std::string controlName(std::size_t i) const override { return controls[i].name; }
    std::optional<ControlBox> controlBox(std::size_t i) const override { return controls[i].box; }
    void setControlBox(std::size_t i, const ControlBox& b) override { controls[i].box = b; }
    std::vector<int> box(std::size_t i) const {
        const ControlBox& b = *controls[i].box;
        return {b.left, b.top, b.width, b.height};
    }
    // Records at the present size, then resizes to width x height.
    void recordThenResize(int width, int height) {
        AutoResize r;
        r.Go(*this, false);
        EXPECT_EQ(box(0), (std::vector<int>{100, 55, 333, 25}));  // the first call only records
        w = width, h = height;
        r.Go(*this, false);
    }
};

TEST(AutoResize, FirstCallRecordsThenResizesToTheFractionsRoundingDown) {
    const struct {
        int w, h;
        std::vector<int> chequeNum;
    } cases[] = {{2000, 600, {200, 55, 666, 25}},   // twice as wide: lefts and widths double
                 {1500, 900, {150, 82, 499, 37}},   // 82.5, 499.5 and 37.5 rounded down
                 {1000, 600, {100, 55, 333, 25}}};  // unchanged, though 55 / 600 * 600 < 55
    for (const auto& c : cases) {
        FakeForm f;
        f.recordThenResize(c.w, c.h);
        EXPECT_EQ(f.box(0), c.chequeNum) << c.w << "x" << c.h;
        EXPECT_EQ(f.box(2), c.chequeNum) << c.w << "x" << c.h;
        EXPECT_FALSE(f.controls[1].box.has_value());  // the timer stays without a position
    }
}

}  // namespace
}  // namespace korvex
