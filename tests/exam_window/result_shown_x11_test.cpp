// The hand-back at the end on a real display with real panes, driven as a candidate drives
// it: each question page is drawn once its tab is chosen, and when the end sequence brings
// the main window back and the examination window goes, the result page is drawn on the
// screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <filesystem>

#include "common/state.h"
#include "common/windows.h"
#include "exam_window/frm_kaikei.h"
#include "exam_window/install.h"
#include "main_window/install.h"
#include "main_window/main_window_fixture.h"
#include "platform/backends.h"
#include "support/db_fixture.h"

#include "support/modal_watcher.h"
#include "support/x11_desktop.h"

namespace {

namespace fs = std::filesystem;
using fakes::wait_until;

// Under a window manager the engine takes its time over the first frame of a page that
// was loaded while its pane was hidden (several seconds here); what must never happen is a
// pane that stays white.
constexpr int kDrawLimitMs = 60000;

// Share of the pixels of a widget, as the screen shows it, that are not near white.
double inked(QWidget* w) {
    const QPoint at = w->mapToGlobal(QPoint(0, 0));
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, at.x(), at.y(), w->width(), w->height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    if (shot.isNull() || shot.width() == 0 || shot.height() == 0) return 0;
    qint64 dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (qGray(shot.pixel(x, y)) < 200) ++dark;
    return double(dark) / (double(shot.width()) * shot.height());
}

std::string page(const char* title) {
    return std::string("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>"
                       "<h1 style=\"font-size:40px;background:#2f5d8a;color:#fff\">") +
           title + "</h1><p style=\"font-size:24px\">仕訳を入力してください。</p><input name=\"answer\"></body></html>";
}

class ResultShown : public mw_test::MainWindowTest {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X display";
        MainWindowTest::SetUp();
        started = true;
        common::install_fonts();
        fp_.platform.clock = platform::make_boottime_clock();
        fp_.platform.screen = platform::make_qt_screen();
        fp_.platform.desktop = platform::make_x11_desktop();
        fp_.platform.browsers = platform::make_webengine_browsers();
        const std::string data = common::state().data_path;
        for (const char* file : {"qfile.dat", "pass.gif", "sample.png"})
            fs::copy_file(fakes::shipped_data_folder() + file, data + file);
        fs::create_directories(common::state().result_path);
        // The result file goes through the folder checked at start-up, as in the program.
        common::state().result_folder = fp_.platform.files->hold_trusted_folder(common::state().result_path);
        ASSERT_NE(common::state().result_folder, nullptr);
        fp_.root.write("app/data/index.html", page("第１問"));
        fp_.root.write("app/data/index2.html", page("第２問"));
        fp_.root.write("app/data/index3.html", page("第３問"));
        main_window::install();
        exam_window::install();
    }

    void TearDown() override {
        if (exam_window::kaikei().loaded()) exam_window::kaikei().unload();
        common::flush_unloads();
        if (started) MainWindowTest::TearDown();
    }

    bool started = false;
};

TEST_F(ResultShown, QuestionPagesAndTheResultPageAreDrawn) {
    // The main window's notice page, then the examination window as the start stage opens it.
    auto& main = main_window::main_form().get();
    main.show_modeless();
    ASSERT_TRUE(wait_until([&] { return inked(main.wbMain->widget()) > 0.02; })) << "notice page not drawn";
    common::set_caption(main.Command1, "試験開始");
    main.Command1_Click();
    common::flush_unloads();
    ASSERT_FALSE(main_window::main_form().loaded());
    exam_window::frmKaikei& exam = *exam_window::kaikei().peek();

    for (int16_t tab : {1, 2, 0}) {
        SCOPED_TRACE(tab);
        exam.cmdMondai[tab]->click();
        platform::BrowserPane& pane = exam.question_pane(tab + 1);
        EXPECT_TRUE(wait_until([&] { return inked(pane.widget()) > 0.02; }, kDrawLimitMs)) << "question page not drawn";
    }

    // "試験終了", "はい" as a candidate answers: the end sequence hands the result page to
    // the main window.
    fp_.platform.message_box = platform::make_qt_message_box("OrvaneLedgrin");
    fakes::X11Desktop x;
    fakes::ModalWatcher<QMessageBox> answer([&](QMessageBox* box) {
        EXPECT_TRUE(wait_until([&] { return x.has_focus(fakes::xid(box)); })) << "the end question has no focus";
        x.key(XK_Tab);
        x.key(XK_Return);
    });
    exam.Command1->click();
    EXPECT_TRUE(answer.acted());
    common::flush_unloads();
    main_window::frmMain* back = main_window::main_form().peek();
    ASSERT_NE(back, nullptr);
    ASSERT_FALSE(exam_window::kaikei().loaded());
    EXPECT_NE(back->wbMain->body_outer_html().find("試験結果"), std::string::npos);
    EXPECT_TRUE(wait_until([&] { return inked(back->wbMain->widget()) > 0.02; }, kDrawLimitMs))
        << "the result page is not drawn";
}

}  // namespace
