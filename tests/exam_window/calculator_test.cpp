#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "common/forms.h"
#include "exam_window/calculator.h"
#include "support/fake_platform.h"
#include "support/numeric_locale.h"

namespace {

using exam_window::frmCalc;

class CalculatorTest : public ::testing::Test {
protected:
    void TearDown() override {
        exam_window::calc_form().unload();
        common::flush_unloads();
    }

    frmCalc& calc() { return exam_window::calc_form().get(); }
    std::string display() { return common::text_of(calc().lblDisplay); }

    // Presses the window's keys by their handlers: digits, "." (the point), + - * / =, C.
    void press(const std::string& keys) {
        for (char k : keys) {
            if (k >= '0' && k <= '9') calc().cmdNum_Click(static_cast<int16_t>(k - '0'));
            else if (k == '.') calc().cmdNum_Click(10);
            else if (k == 'C') calc().cmdClear_Click();
            else calc().cmdEnzan_Click(static_cast<int16_t>(std::string("+-*/=").find(k)));
        }
    }

    fakes::FakePlatform fake;
};

// The display is read back with "." as its decimal mark whatever the desktop's locale.
class CalculatorKeys : public CalculatorTest, public ::testing::WithParamInterface<fakes::Numbers> {
protected:
    void SetUp() override {
        if (!locale_.active()) GTEST_SKIP() << locale_.why_not();
    }

private:
    fakes::NumericLocaleScope locale_{GetParam()};
};

TEST_P(CalculatorKeys, SequencesShowWhatTheChainGives) {
    struct Case {
        const char* keys;
        const char* shown;
    };
    // Each run starts from a freshly loaded calculator; each step is checked after its keys.
    const std::vector<std::vector<Case>> runs = {
        {{"12+3=", "15"}, {"=", "18"}, {"=", "21"}},
        {{"5*=", "25"}, {"=", "125"}},
        {{"2+3+", "5"}, {"4=", "9"}},
        {{"5+0=", "5"}, {"=", "10"}},  // an operand of 0 counts as none
        {{"007", "7"}, {".", "7."}, {"5", "7.5"}, {".", "7.5"}, {"2", "7.52"}},
        {{".", "0."}, {"5", "0.5"}, {".", "0.5"}},
        {{"10-4=", "6"}, {"=", "2"}, {"=", "-2"}},
        {{"8/2=", "4"}, {"=", "2"}},
        {{"5/=", "1"}},                          // "÷" then "＝" divides by the value itself
        {{"2+*3=", "6"}},                        // only the last of several operators counts
        {{"1/3=", "0.333333333333333"}},         // 15 significant digits
        {{".1+.2=", "0.3"}},
        {{"1/8=", "0.125"}, {"*", "0.125"}, {"8=", "1"}},  // the display is read back
        {{"99999999*=", "9.9999998E+15"}},
        {{"3-5=", "-2"}, {"*0=", "0"}},          // never "-0"
        {{"12+3=", "15"}, {"7+", "7"}, {"1=", "8"}},  // an entry after "＝" starts a new chain
        {{"12+3=", "15"}, {"7=", "7"}},
    };
    for (size_t r = 0; r < runs.size(); ++r) {
        SCOPED_TRACE("run " + std::to_string(r));
        calc().Form_Load();
        calc().cmdClear_Click();
        for (const Case& c : runs[r]) {
            press(c.keys);
            EXPECT_EQ(display(), c.shown) << "after " << c.keys;
        }
        exam_window::calc_form().unload();
        common::flush_unloads();
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, CalculatorKeys, fakes::kNumericLocales, fakes::numeric_locale_name);

TEST_F(CalculatorTest, ClearForgetsTheChainAndTheRepeatOperand) {
    for (const char* before : {"12+3=", "12+3", "12+", "7.", "5*="}) {
        SCOPED_TRACE(before);
        press(before);
        press("C");
        EXPECT_EQ(display(), "0");
        EXPECT_EQ(calc().pending_op, -1);
        EXPECT_FALSE(calc().has_accumulator);
        EXPECT_FALSE(calc().digit_entered);
        EXPECT_EQ(calc().accumulator, 0);
        EXPECT_EQ(calc().operand, 0);
        press("=");
        EXPECT_EQ(display(), "0");
        press("4=");
        EXPECT_EQ(display(), "4");
        press("C");
    }
}

TEST_F(CalculatorTest, DivisionByZeroAndOverflowShowTheErrorAndEndTheChain) {
    for (const char* keys : {"5/0=", "0/0=", "5/0+", "9/0/"}) {
        SCOPED_TRACE(keys);
        press("C");
        press(keys);
        EXPECT_EQ(display(), frmCalc::kErrorText);
        EXPECT_FALSE(calc().has_accumulator);
        EXPECT_EQ(calc().pending_op, -1);
        // The next entry starts afresh.
        press("3+4=");
        EXPECT_EQ(display(), "7");
    }
    // A product beyond the range of a double.
    press("C");
    calc().accumulator = 1e308;
    calc().has_accumulator = true;
    calc().pending_op = 2;
    press("10=");
    EXPECT_EQ(display(), frmCalc::kErrorText);
    press("=");  // nothing pending any more
    EXPECT_EQ(display(), "0");
    // Repeating "＝" on a growing product ends in the error, never in "inf".
    press("C99999999*=");
    for (int i = 0; i < 50 && display() != frmCalc::kErrorText; ++i) {
        press("=");
        EXPECT_EQ(display().find("inf"), std::string::npos);
        EXPECT_EQ(display().find("INF"), std::string::npos);
    }
    EXPECT_EQ(display(), frmCalc::kErrorText);
}

TEST_F(CalculatorTest, TypedKeysActLikeTheButtons) {
    for (char k : std::string("12+3=")) calc().Form_KeyPress(k);
    EXPECT_EQ(display(), "15");
    for (char k : std::string("9-4=")) calc().Form_KeyPress(k);
    EXPECT_EQ(display(), "5");
    for (char k : std::string("9/4*2=")) calc().Form_KeyPress(k);
    EXPECT_EQ(display(), "4.5");
    for (char k : std::string(".5")) calc().Form_KeyPress(k);
    EXPECT_EQ(display(), "0.5");
    calc().Form_KeyPress('c');
    EXPECT_EQ(display(), "0");
    for (char k : std::string("7+2")) calc().Form_KeyPress(k);
    calc().Form_KeyPress('C');
    EXPECT_EQ(display(), "0");
    EXPECT_EQ(calc().pending_op, -1);
    // Enter is not "＝", and other keys do nothing.
    for (char k : std::string("7+2")) calc().Form_KeyPress(k);
    for (int k : {13, 32, int('x'), int('A'), int('%'), 27}) calc().Form_KeyPress(static_cast<int16_t>(k));
    EXPECT_EQ(display(), "2");
    EXPECT_EQ(calc().pending_op, 0);
}

TEST_F(CalculatorTest, AKeyReachesTheWindowOnceAndThenTheFocusedButton) {
    calc().show();
    // A digit typed while a button has the focus is taken by the window, once.
    QTest::keyClick(calc().cmdNum[7], '5');
    EXPECT_EQ(display(), "5");
    // Enter presses the focused button, here "7", and is not taken as "＝".
    QTest::keyClick(calc().cmdNum[7], Qt::Key_Return);
    EXPECT_EQ(display(), "57");
    QTest::keyClick(calc().cmdEnzan[0], Qt::Key_Return);  // "＋" focused
    QTest::keyClick(calc().cmdEnzan[0], '3');
    QTest::keyClick(calc().cmdEnzan[0], '=');
    EXPECT_EQ(display(), "60");
    // Keys sent to the window itself.
    QTest::keyClick(&calc(), 'c');
    QTest::keyClick(&calc(), '8');
    EXPECT_EQ(display(), "8");
}

TEST_F(CalculatorTest, LoadsAboveOtherWindowsAtTheTopLeftWithItsDesign) {
    frmCalc& c = calc();
    EXPECT_EQ(c.caption(), "電卓");
    EXPECT_EQ(display(), "0");
    EXPECT_EQ(c.pending_op, -1);
    EXPECT_TRUE(fake.desktop->topmost[&c]);
    EXPECT_EQ(c.pos(), QPoint(0, 0));
    EXPECT_EQ(c.size(), QSize(248, 314));  // 3720 x 4710 twips
    for (int d = 0; d <= 9; ++d) EXPECT_EQ(common::caption_of(c.cmdNum[d]), std::to_string(d));
    const char* ops[] = {"＋", "－", "×", "÷", "＝"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(common::caption_of(c.cmdEnzan[i]), ops[i]);
    EXPECT_EQ(common::caption_of(c.cmdClear), "Ｃ");
    EXPECT_EQ(c.cmdNum[0]->geometry(), QRect(8, 264, 89, 41));
    EXPECT_EQ(c.cmdEnzan[4]->geometry(), QRect(152, 264, 89, 41));
    EXPECT_EQ(c.lblDisplay->geometry(), QRect(16, 16, 217, 49));
    for (QWidget* w : c.findChildren<QWidget*>()) EXPECT_TRUE(c.rect().contains(w->geometry())) << w->metaObject()->className();
}

TEST_F(CalculatorTest, TheUnusedHelpersKeepTheirOwnRules) {
    frmCalc& c = calc();
    // reset_display keeps digit_entered and has_accumulator.
    press("12+3");
    c.reset_display();
    EXPECT_EQ(display(), "0");
    EXPECT_EQ(c.pending_op, -1);
    EXPECT_TRUE(c.digit_entered);
    EXPECT_TRUE(c.has_accumulator);

    // evaluate_entry: 0 ×, 1 ＋, 2 ÷, 3 －; a value that is not negative gets a blank. It
    // leaves digit_entered alone, so each next entry is started here as an operator key would.
    auto enter = [&](const char* keys) {
        c.digit_entered = false;
        press(keys);
    };
    press("C6");
    c.evaluate_entry(1);
    EXPECT_EQ(display(), "0");
    EXPECT_EQ(c.accumulator, 6);
    enter("4");
    c.evaluate_entry(3);
    EXPECT_EQ(display(), " 2");
    enter("5");
    c.evaluate_entry(3);
    EXPECT_EQ(display(), "-3");
    enter("3");
    c.evaluate_entry(0);
    EXPECT_EQ(display(), "-9");
    enter("0");
    c.evaluate_entry(2);
    EXPECT_EQ(display(), frmCalc::kErrorText);
}

}  // namespace
