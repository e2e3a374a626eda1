// The calculator, the after-time dialog and the end notice on a real X display with the
// installed Japanese fonts: every text fits its control. Screenshots go to calc.png,
// after_time.png and end_notice.png in the build's test-shots folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <chrono>
#include <thread>

#include "common/forms.h"
#include "exam_window/after_time.h"
#include "exam_window/calculator.h"
#include "support/build_paths.h"
#include "support/fake_platform.h"
#include "support/screenshot.h"

namespace {

void pump(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void shot(QWidget* w, const char* name) {
    EXPECT_TRUE(fakes::save_screenshot(std::string(name) + ".png", w)) << name;
}

// Every label's and button's text fits inside it, in the font it is drawn with.
void expect_texts_fit(QWidget* window) {
    for (QLabel* l : window->findChildren<QLabel*>()) {
        SCOPED_TRACE(l->text().toStdString());
        const QFontMetrics fm(l->font());
        if (l->wordWrap()) {
            EXPECT_LE(l->heightForWidth(l->width()), l->height());
        } else {
            EXPECT_LE(fm.horizontalAdvance(l->text()), l->width());
            EXPECT_LE(fm.tightBoundingRect(l->text()).height(), l->height());
        }
    }
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        SCOPED_TRACE(b->text().toStdString());
        const QFontMetrics fm(b->font());
        EXPECT_LT(fm.horizontalAdvance(b->text()), b->width());
        EXPECT_LT(fm.height(), b->height());
        EXPECT_TRUE(window->rect().contains(b->geometry()));
    }
}

class AccessoriesX11 : public ::testing::Test {
protected:
    void SetUp() override { common::install_fonts(); }
    void TearDown() override {
        exam_window::calc_form().unload();
        exam_window::time_out_form().unload();
        exam_window::end_form().unload();
        common::flush_unloads();
    }
    fakes::FakePlatform fake;
};

TEST_F(AccessoriesX11, CalculatorShowsItsKeysAndAResult) {
    exam_window::frmCalc& c = exam_window::calc_form().get();
    c.show_modeless();
    for (char k : std::string("1234/7=")) c.Form_KeyPress(k);
    pump(300);
    EXPECT_EQ(common::text_of(c.lblDisplay), "176.285714285714");
    expect_texts_fit(&c);  // fifteen digits, drawn smaller than the design size
    shot(&c, "calc");
    c.cmdClear_Click();
    for (char k : std::string("1234")) c.Form_KeyPress(k);
    EXPECT_EQ(c.lblDisplay->font().pointSizeF(), 36);
    expect_texts_fit(&c);
    pump(100);
    shot(&c, "calc_short");
}

TEST_F(AccessoriesX11, AfterTimeDialogShowsItsTextsAndCounter) {
    exam_window::frmTimeOut& d = exam_window::time_out_form().get();
    fake.clock->tick += 65000;
    d.Timer1->fire();
    d.show_modeless();
    pump(300);
    EXPECT_EQ(common::text_of(d.lblRemaining), "経過時間：1:05");
    expect_texts_fit(&d);
    shot(&d, "after_time");
}

TEST_F(AccessoriesX11, EndNoticeShowsItsTexts) {
    exam_window::frmEnd& n = exam_window::end_form().get();
    n.show_modeless();
    pump(300);
    expect_texts_fit(&n);
    shot(&n, "end_notice");
}

}  // namespace
