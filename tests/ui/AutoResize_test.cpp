#include "ui/AutoResize.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

// A window of named controls; a control without a box stands for a timer or a menu.
struct FakeForm : AutoResizeTarget {
    struct Control {
        std::string name;
        std::optional<ControlBox> box;
        int sets = 0;
    };
    int w = 1000, h = 600;
    std::vector<Control> controls = {{"ChequeNum", ControlBox{100, 50, 333, 25}, 0},
                                     {"Timer", std::nullopt, 0},
                                     {"Image1", ControlBox{0, 301, 999, 299}, 0}};

    int formWidth() const override { return w; }
    int formHeight() const override { return h; }
    std::size_t controlCount() const override { return controls.size(); }
    std::string controlName(std::size_t i) const override { return controls[i].name; }
    std::optional<ControlBox> controlBox(std::size_t i) const override { return controls[i].box; }
    void setControlBox(std::size_t i, const ControlBox& b) override {
        controls[i].box = b;
        ++controls[i].sets;
    }
    std::vector<int> box(std::size_t i) const {
        const ControlBox& b = *controls[i].box;
        return {b.left, b.top, b.width, b.height};
    }
    // Records at the present size, then resizes to w x h.
    AutoResize recordThenResize(int width, int height) {
        AutoResize r;
        r.Go(*this, false);
        EXPECT_EQ(controls[0].sets, 0);  // the first call only records
        w = width, h = height;
        r.Go(*this, false);
        return r;
    }
};

TEST(AutoResize, FirstCallRecordsThenResizesToTheFractionsRoundingDown) {
    const struct {
        int w, h;
        std::vector<int> chequeNum;
    } cases[] = {{2000, 600, {200, 50, 666, 25}},  // twice as wide: lefts and widths double, floor
                 {1500, 900, {150, 75, 499, 37}},  // 499.5 -> 499, 37.5 -> 37
                 {0, 0, {0, 0, 0, 0}}};            // no size: zero, not a failure
    for (const auto& c : cases) {
        FakeForm f;
        const AutoResize r = f.recordThenResize(c.w, c.h);
        ASSERT_EQ(r.layout().size(), 4u);  // one per control plus the empty one
        EXPECT_EQ(r.layout()[3].name, "");
        EXPECT_EQ(f.box(0), c.chequeNum) << c.w << "x" << c.h;
        EXPECT_FALSE(f.controls[1].box.has_value());  // the timer stays without a position
    }
    // A window recorded at no size gives zero fractions instead of failing.
    FakeForm zero;
    zero.w = zero.h = 0;
    zero.recordThenResize(500, 500);
    EXPECT_EQ(zero.box(0), (std::vector<int>{0, 0, 0, 0}));
}

TEST(AutoResize, AnUnchangedSizeMovesNothingAndRestoringStaysWithinOneUnit) {
    FakeForm f;
    f.controls = {{"A", ControlBox{15, 13, 15, 26}, 0}};  // 15 / 22 * 22 < 15 in doubles
    f.w = 22, f.h = 45;
    f.recordThenResize(22, 45);
    EXPECT_EQ(f.box(0), (std::vector<int>{15, 13, 15, 26}));
    FakeForm g;
    AutoResize s = g.recordThenResize(1000, 300);
    g.h = 600;
    s.Go(g, false);
    EXPECT_LE(std::abs(g.box(2)[1] - 301) + std::abs(g.box(2)[3] - 299), 1);
}

TEST(AutoResize, SharedNamesTakeTheFirstRecordAndNewControlsAreLeftAlone) {
    FakeForm f;
    f.w = f.h = 100;
    f.controls = {{"Box", ControlBox{10, 10, 10, 10}, 0}, {"Box", ControlBox{50, 50, 20, 20}, 0}};
    AutoResize r;
    r.Go(f, false);
    f.controls.push_back({"Late", ControlBox{1, 2, 3, 4}, 0});
    f.controls.push_back({"", ControlBox{5, 6, 7, 8}, 0});  // must not match the empty record
    f.w = f.h = 200;
    r.Go(f, false);
    EXPECT_EQ(f.box(0), (std::vector<int>{20, 20, 20, 20}));
    EXPECT_EQ(f.box(1), (std::vector<int>{20, 20, 20, 20}));
    EXPECT_EQ(f.controls[2].sets + f.controls[3].sets, 0);
}

TEST(AutoResize, EmptyWindowsStayUnrecordedAndReRecordTakesThePresentLayout) {
    FakeForm empty;
    empty.controls.clear();
    AutoResize r;
    r.Go(empty, false);
    EXPECT_FALSE(r.recorded());
    FakeForm f;
    r.Go(f, false);
    ASSERT_TRUE(r.recorded());
    f.w = 2000;
    f.controls[0].box = ControlBox{0, 0, 10, 10};
    r.Go(f, true);  // records again, moves nothing
    EXPECT_EQ(f.controls[0].sets, 0);
    EXPECT_DOUBLE_EQ(r.layout()[0].width, 10.0 / 2000);
}

}  // namespace
}  // namespace korvex
