#include "ui/AutoResize.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

// A window of named controls; a control without a box stands for a timer or a menu.
class FakeForm : public AutoResizeTarget {
public:
    struct Control {
        std::string name;
        std::optional<ControlBox> box;
        int sets = 0;
    };
    int w = 0, h = 0;
    std::vector<Control> controls;

    int formWidth() const override { return w; }
    int formHeight() const override { return h; }
    std::size_t controlCount() const override { return controls.size(); }
    std::string controlName(std::size_t i) const override { return controls[i].name; }
    std::optional<ControlBox> controlBox(std::size_t i) const override { return controls[i].box; }
    void setControlBox(std::size_t i, const ControlBox& b) override {
        controls[i].box = b;
        ++controls[i].sets;
    }
};

bool sameBox(const ControlBox& a, const ControlBox& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

FakeForm designForm() {
    FakeForm f;
    f.w = 1000;
    f.h = 600;
    f.controls = {{"ChequeNum", ControlBox{100, 50, 333, 25}, 0},
                  {"Timer", std::nullopt, 0},
                  {"Image1", ControlBox{0, 301, 999, 299}, 0}};
    return f;
}

TEST(AutoResize, FirstCallRecordsAndMovesNothing) {
    FakeForm f = designForm();
    AutoResize r;
    r.Go(f, false);
    EXPECT_TRUE(r.recorded());
    ASSERT_EQ(r.layout().size(), 4u);  // one per control plus the empty one
    EXPECT_EQ(r.layout()[0].name, "ChequeNum");
    EXPECT_DOUBLE_EQ(r.layout()[0].left, 0.1);
    EXPECT_DOUBLE_EQ(r.layout()[1].width, 0.0);  // the timer: name only
    EXPECT_EQ(r.layout()[3].name, "");
    for (const auto& c : f.controls) EXPECT_EQ(c.sets, 0) << c.name;
}

TEST(AutoResize, ResizesToTheRecordedFractionsRoundingDown) {
    const struct {
        int w, h;
        ControlBox chequeNum;
    } cases[] = {
        {2000, 600, {200, 50, 666, 25}},  // twice as wide: lefts and widths double, floor
        {1000, 300, {100, 25, 333, 12}},  // half the height: 12.5 -> 12
        {1500, 900, {150, 75, 499, 37}},  // 499.5 -> 499, 37.5 -> 37
    };
    for (const auto& c : cases) {
        FakeForm f = designForm();
        AutoResize r;
        r.Go(f, false);
        f.w = c.w;
        f.h = c.h;
        r.Go(f, false);
        EXPECT_TRUE(sameBox(*f.controls[0].box, c.chequeNum)) << c.w << "x" << c.h;
        EXPECT_FALSE(f.controls[1].box.has_value());  // the timer stays without a position
        EXPECT_EQ(f.controls[1].sets, 0);
    }
}

TEST(AutoResize, AnUnchangedSizeMovesNothingDespiteRoundOff) {
    FakeForm f;
    f.w = 22;
    f.h = 45;
    f.controls = {{"A", ControlBox{15, 13, 15, 26}, 0}};  // 15 / 22 * 22 < 15 in doubles
    AutoResize r;
    r.Go(f, false);
    r.Go(f, false);
    EXPECT_EQ(f.controls[0].sets, 1);
    EXPECT_TRUE(sameBox(*f.controls[0].box, {15, 13, 15, 26}));
}

TEST(AutoResize, ShrinkingAndRestoringStaysWithinOneUnit) {
    FakeForm f = designForm();
    const auto first = *f.controls[2].box;
    AutoResize r;
    r.Go(f, false);
    f.h = 300;
    r.Go(f, false);
    f.h = 600;
    r.Go(f, false);
    const auto back = *f.controls[2].box;
    EXPECT_LE(std::abs(back.top - first.top), 1);
    EXPECT_LE(std::abs(back.height - first.height), 1);
    EXPECT_EQ(back.left, first.left);
}

TEST(AutoResize, SharedNamesTakeTheFirstRecordAndNewControlsAreLeftAlone) {
    FakeForm f;
    f.w = 100;
    f.h = 100;
    f.controls = {{"Box", ControlBox{10, 10, 10, 10}, 0}, {"Box", ControlBox{50, 50, 20, 20}, 0}};
    AutoResize r;
    r.Go(f, false);
    f.controls.push_back({"Late", ControlBox{1, 2, 3, 4}, 0});
    f.controls.push_back({"", ControlBox{5, 6, 7, 8}, 0});  // must not match the empty record
    f.w = 200;
    f.h = 200;
    r.Go(f, false);
    EXPECT_TRUE(sameBox(*f.controls[0].box, {20, 20, 20, 20}));
    EXPECT_TRUE(sameBox(*f.controls[1].box, {20, 20, 20, 20}));
    EXPECT_EQ(f.controls[2].sets, 0);
    EXPECT_EQ(f.controls[3].sets, 0);
}

TEST(AutoResize, EmptyWindowsStayUnrecordedAndReRecordTakesThePresentLayout) {
    FakeForm empty;
    empty.w = 10;
    empty.h = 10;
    AutoResize r;
    r.Go(empty, false);
    EXPECT_FALSE(r.recorded());

    FakeForm f = designForm();
    r.Go(f, false);
    ASSERT_TRUE(r.recorded());
    f.w = 2000;
    f.controls[0].box = ControlBox{0, 0, 10, 10};
    r.Go(f, true);  // records again, moves nothing
    EXPECT_EQ(f.controls[0].sets, 0);
    EXPECT_DOUBLE_EQ(r.layout()[0].width, 10.0 / 2000);
}

TEST(AutoResize, ZeroSizedWindowGivesZeroRatiosInsteadOfFailing) {
    FakeForm f = designForm();
    f.w = 0;
    f.h = 0;
    AutoResize r;
    r.Go(f, false);
    ASSERT_TRUE(r.recorded());
    EXPECT_DOUBLE_EQ(r.layout()[0].left, 0.0);
    f.w = 500;
    f.h = 500;
    r.Go(f, false);
    EXPECT_TRUE(sameBox(*f.controls[0].box, {0, 0, 0, 0}));
}

}  // namespace
}  // namespace korvex
