// The examination window's accessories: question font size, sharing the screen with the
// word processor's window, and the calculator.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QPushButton>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/forms.h"
#include "common/text.h"
#include "exam_window/calculator.h"
#include "exam_window_fixture.h"
#include "platform/error.h"

namespace {

using exam_window::frmKaikei;
using platform::MbResult;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

int px(double twips) { return common::twips_to_px(twips); }

constexpr platform::WindowId kWordId = 7;

// A desktop whose look-up can be made to fail or to answer an id wider than a window handle.
class ScriptedDesktop : public exam_test::LoggingDesktop {
public:
    platform::WindowId find_window(const std::string& window_class,
                                   const std::optional<std::string>& title) override {
        const platform::WindowId found = exam_test::LoggingDesktop::find_window(window_class, title);
        if (fail_find) throw std::runtime_error("no desktop");
        return wide_id ? wide_id : found;
    }
    bool fail_find = false;
    platform::WindowId wide_id = 0;
};

class AccessoriesTest : public exam_test::ExamWindowTest {
protected:
    void SetUp() override {
        ExamWindowTest::SetUp();
        auto scripted = std::make_unique<ScriptedDesktop>();
        desktop = scripted.get();
        scripted_ = scripted.get();
        fp.platform.desktop = std::move(scripted);
        fp.screen->area = {0, 0, 1024, 738};
        fp.screen->twips_x = fp.screen->twips_y = 15;
    }
    void TearDown() override {
        exam_window::calc_form().unload();
        ExamWindowTest::TearDown();
    }

    // The window as the candidate has it: loaded, shown, fitted to the work area.
    frmKaikei& shown() {
        frmKaikei& f = load();
        f.show_modeless();
        f.Form_Resize();
        return f;
    }

    void add_word_window() { desktop->windows.push_back({kWordId, "OpusApp", "文書1 - 文書作成"}); }

    std::vector<std::string> placements() const {
        std::vector<std::string> out;
        for (const auto& c : desktop->calls)
            if (c.rfind("place", 0) == 0) out.push_back(c);
        return out;
    }

    ScriptedDesktop* scripted_ = nullptr;
};

// --- font size ---

TEST_F(AccessoriesTest, FontSizeStepsWithinNineToFortyAndStylesOnlyTheFirstPane) {
    frmKaikei& f = load();
    ASSERT_EQ(f.font_size, 16);
    for (int i = 0; i < 9; ++i) f.change_font_size(false);
    EXPECT_EQ(f.font_size, 25);
    ASSERT_EQ(pane(f, 1).body_styles.size(), 9u);
    EXPECT_EQ(pane(f, 1).body_styles.front(), "font-size: 17px; line-height: 1.5");
    EXPECT_EQ(pane(f, 1).body_styles.back(), "font-size: 25px; line-height: 1.5");
    f.change_font_size(true);
    EXPECT_EQ(f.font_size, 24);
    EXPECT_EQ(pane(f, 1).body_styles.back(), "font-size: 24px; line-height: 1.5");
    EXPECT_THAT(pane(f, 2).body_styles, IsEmpty());
    EXPECT_THAT(pane(f, 3).body_styles, IsEmpty());
}

TEST_F(AccessoriesTest, FontSizeStaysAtItsBoundsAndStillRestylesThePage) {
    struct Case {
        int16_t start;
        bool smaller;
        int16_t expected;
    };
    const Case cases[] = {
        {40, false, 40}, {39, false, 40}, {40, true, 39}, {9, true, 9}, {10, true, 9}, {9, false, 10},
        // Outside the range (the window's load did not run): back into it, never a size 0 page.
        {0, true, 9}, {0, false, 9}, {100, false, 40}, {-5, true, 9},
    };
    frmKaikei& f = load();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << (c.smaller ? " smaller" : " larger"));
        f.font_size = c.start;
        f.change_font_size(c.smaller);
        EXPECT_EQ(f.font_size, c.expected);
        EXPECT_EQ(pane(f, 1).body_styles.back(),
                  "font-size: " + std::to_string(c.expected) + "px; line-height: 1.5");
    }
}

TEST_F(AccessoriesTest, FontSizeFailureReachesTheCallerAfterTheSizeHasChanged) {
    frmKaikei& f = load();
    pane(f, 1).fail_bridge = true;
    EXPECT_THROW(f.change_font_size(false), platform::Error);
    EXPECT_EQ(f.font_size, 17);
}

// --- arrangement beside the word processor ---

struct LayoutCase {
    int16_t layout;
    double left, top, width, height;  // the examination window, twips
    std::string word;                 // the word processor's window
};

TEST_F(AccessoriesTest, EachLayoutPlacesBothWindowsOnA1024By738WorkArea) {
    // W = 15360 and H = 11070 twips; w = 1024 and h = 738 pixels.
    const double third = 15360 / 2.3;
    const LayoutCase cases[] = {
        {0, -15, -15, 15360, 2767.5, "place 7 0,184 1024x554"},
        {1, -15, 8302.5, 15360, 2767.5, "place 7 0,0 1024x554"},
        {2, -15, -15, third, 11070, "place 7 341,0 683x738"},
        {3, 15360 - third, -15, third, 11070, "place 7 0,0 683x738"},
        {4, -15, -15, 15360, 11070, "place 7 0,0 1024x738"},
    };
    add_word_window();
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "layout " << c.layout);
        frmKaikei& f = shown();
        const std::vector<std::string> topmost_before = topmost_calls();
        desktop->calls.clear();

        f.arrange_with_word(c.layout);

        EXPECT_EQ(f.word_hwnd, kWordId);
        EXPECT_THAT(placements(), ElementsAre(c.word));
        EXPECT_DOUBLE_EQ(f.Left(), c.left);
        EXPECT_DOUBLE_EQ(f.Top(), c.top);
        EXPECT_DOUBLE_EQ(f.Width(), c.width);
        EXPECT_DOUBLE_EQ(f.Height(), c.height);
        // The window really has that size: its own resize handler did not fit it back to
        // the work area, and the controls stand on the new lower edge.
        EXPECT_EQ(f.x(), px(c.left));
        EXPECT_EQ(f.y(), px(c.top));
        EXPECT_EQ(f.width(), px(c.width));
        EXPECT_EQ(f.height(), px(c.height));
        EXPECT_EQ(f.Command1->x(), px(c.width - 1800));
        EXPECT_EQ(f.Command1->y(), px(c.height - 900));
        EXPECT_EQ(f.cmdMondai[0]->y(), px(c.height - 950));
        // Ours stays topmost: the arrangement asks nothing of its band.
        EXPECT_EQ(topmost_calls(), std::vector<std::string>());
        EXPECT_THAT(topmost_before, ElementsAre("topmost on"));

        // A later size change from elsewhere fits the window to the work area again.
        f.Form_Resize();
        EXPECT_EQ(f.Height(), 11070);
        exam_window::kaikei().unload();
        common::flush_unloads();
        desktop->calls.clear();
    }
}

TEST_F(AccessoriesTest, WideScreenTwipsBeyondSixteenBitsStillArrange) {
    // 2560 pixels are 38400 twips, more than a 16-bit size holds.
    fp.screen->area = {0, 0, 2560, 1400};
    add_word_window();
    frmKaikei& f = shown();
    f.arrange_with_word(2);
    EXPECT_DOUBLE_EQ(f.Width(), 38400 / 2.3);
    EXPECT_DOUBLE_EQ(f.Height(), 21000);
    EXPECT_THAT(placements(), ElementsAre("place 7 853,0 1707x1400"));
    f.arrange_with_word(0);
    EXPECT_DOUBLE_EQ(f.Width(), 38400);
    EXPECT_DOUBLE_EQ(f.Height(), 5250);
}

TEST_F(AccessoriesTest, OtherLayoutValuesOnlyLookUpTheWindowAndRestoreTheNormalState) {
    add_word_window();
    for (int16_t layout : {int16_t(5), int16_t(-1), int16_t(32767)}) {
        SCOPED_TRACE(layout);
        frmKaikei& f = shown();
        f.setWindowState(Qt::WindowMinimized);
        const QRect before = f.geometry();
        const double height_before = f.Height();
        f.word_hwnd = 0;
        f.arrange_with_word(layout);
        EXPECT_EQ(f.word_hwnd, kWordId);
        EXPECT_FALSE(f.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
        EXPECT_EQ(f.geometry(), before);
        EXPECT_EQ(f.Height(), height_before);
        EXPECT_THAT(placements(), IsEmpty());
        exam_window::kaikei().unload();
        common::flush_unloads();
    }
}

TEST_F(AccessoriesTest, WithoutAWordWindowOnlyTheExaminationWindowIsPlaced) {
    desktop->windows.push_back({3, "Notepad", "メモ"});
    frmKaikei& f = shown();
    f.arrange_with_word(0);
    EXPECT_EQ(f.word_hwnd, 0u);
    EXPECT_DOUBLE_EQ(f.Height(), 2767.5);
    EXPECT_EQ(f.height(), 184);
    EXPECT_THAT(placements(), IsEmpty());
    EXPECT_THAT(desktop->placements, IsEmpty());
}

TEST_F(AccessoriesTest, AWordWindowThatHasGoneIsNotPlacedAgain) {
    add_word_window();
    frmKaikei& f = shown();
    f.arrange_with_word(1);
    ASSERT_EQ(f.word_hwnd, kWordId);
    ASSERT_EQ(desktop->placements.count(kWordId), 1u);
    desktop->windows.clear();
    desktop->calls.clear();
    f.arrange_with_word(0);
    EXPECT_EQ(f.word_hwnd, 0u);
    EXPECT_THAT(placements(), IsEmpty());
    EXPECT_DOUBLE_EQ(f.Top(), -15);
}

TEST_F(AccessoriesTest, ALookUpThatFailsLeavesNoHandleOfAnEarlierCall) {
    add_word_window();
    frmKaikei& f = shown();
    f.arrange_with_word(4);
    ASSERT_EQ(f.word_hwnd, kWordId);

    struct Case {
        const char* what;
        bool fail;
        platform::WindowId id;
    };
    const Case cases[] = {{"look-up fails", true, 0}, {"id beyond 32 bits", false, platform::WindowId(1) << 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f.word_hwnd = kWordId;
        scripted_->fail_find = c.fail;
        scripted_->wide_id = c.id;
        desktop->calls.clear();
        f.arrange_with_word(0);
        EXPECT_EQ(f.word_hwnd, 0u);
        EXPECT_THAT(placements(), IsEmpty());
        // The rest goes on: our window is placed all the same.
        EXPECT_DOUBLE_EQ(f.Height(), 2767.5);
        f.arrange_with_word(4);
    }
}

// --- calculator ---

TEST_F(AccessoriesTest, ShowCalculatorOpensOneTopmostCalculatorAndKeepsItsState) {
    frmKaikei& f = load();
    ASSERT_FALSE(exam_window::calc_form().loaded());
    f.show_calculator();
    ASSERT_TRUE(exam_window::calc_form().loaded());
    exam_window::frmCalc* calc = exam_window::calc_form().peek();
    EXPECT_TRUE(calc->isVisible());
    EXPECT_TRUE(desktop->topmost[calc]);
    EXPECT_EQ(common::text_of(calc->lblDisplay), "0");

    calc->cmdNum_Click(4);
    calc->hide();
    f.show_calculator();
    EXPECT_EQ(exam_window::calc_form().peek(), calc);
    EXPECT_TRUE(calc->isVisible());
    EXPECT_EQ(common::text_of(calc->lblDisplay), "4");
}

TEST_F(AccessoriesTest, EndButtonClosesTheCalculatorOnlyAfterYes) {
    frmKaikei& f = load();
    fp.clock->step_per_read = 1;
    f.show_calculator();
    exam_window::frmCalc* calc = exam_window::calc_form().peek();

    fp.message_box->answers = {MbResult::No};
    f.Command1_Click();
    EXPECT_TRUE(exam_window::calc_form().loaded());
    EXPECT_TRUE(calc->isVisible());

    bool calc_loaded_at_end = true;
    during_end = [&](frmKaikei&) { calc_loaded_at_end = exam_window::calc_form().loaded(); };
    fp.message_box->answers = {MbResult::Yes};
    common::run_handler("Command1_Click", [&] { f.Command1_Click(); });
    EXPECT_EQ(end_calls, 1);
    EXPECT_FALSE(calc_loaded_at_end);
    EXPECT_FALSE(exam_window::calc_form().loaded());
}

TEST_F(AccessoriesTest, EndButtonWithoutACalculatorDoesNotOpenOne) {
    frmKaikei& f = load();
    fp.clock->step_per_read = 1;
    fp.message_box->answers = {MbResult::Yes};
    common::run_handler("Command1_Click", [&] { f.Command1_Click(); });
    EXPECT_EQ(end_calls, 1);
    EXPECT_FALSE(exam_window::calc_form().loaded());
}

}  // namespace
