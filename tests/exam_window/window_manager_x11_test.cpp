// The examination program's windows on a real X display, bare and under a window manager,
// read back as the window manager and a candidate see them: outer geometry against the
// work area (a panel takes the lower edge off it), the examination window above another
// program's window, boxes above it with the focus and the focus back afterwards, closes
// through the window manager refused where the windows refuse them, the taskbar entries
// of the dialogs, and Enter on a focused button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <memory>

#include "common/folders.h"
#include "common/forms.h"
#include "common/state.h"
#include "common/windows.h"
#include "exam_window/frm_kaikei.h"
#include "exam_window/install.h"
#include "main_window/install.h"
#include "main_window/main_window_fixture.h"
#include "platform/backends.h"

#include "support/modal_watcher.h"
#include "support/x11_desktop.h"

namespace {

using exam_window::frmKaikei;
using fakes::wait_until;
using fakes::xid;

constexpr int kPanelHeight = 40;

using BoxWatcher = fakes::ModalWatcher<QMessageBox>;

class WindowManagerX11 : public mw_test::MainWindowTest {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X display";
        MainWindowTest::SetUp();
        common::install_fonts();
        x = std::make_unique<fakes::X11Desktop>();
        ASSERT_NE(x->display(), nullptr);
        wm = x->window_manager_running();
        fp_.platform.clock = platform::make_boottime_clock();
        fp_.platform.screen = platform::make_qt_screen();
        fp_.platform.desktop = platform::make_x11_desktop();
        fp_.platform.message_box = platform::make_qt_message_box("OrvaneLedgrin");
        main_window::install();
        exam_window::install();
        if (wm) {
            // A desktop's panel along the lower edge: the work area ends above it.
            QScreen* screen = QGuiApplication::primaryScreen();
            x->bottom_panel(kPanelHeight);
            ASSERT_TRUE(wait_until([&] {
                return screen->availableGeometry().height() == screen->geometry().height() - kPanelHeight;
            })) << "the work area does not leave the panel out";
        }
        area = common::get_work_area();
        ASSERT_GT(area.bottom - area.top, 0);
    }

    void TearDown() override {
        if (exam_window::kaikei().loaded()) exam_window::kaikei().unload();
        common::flush_unloads();
        if (x) MainWindowTest::TearDown();
        x.reset();
    }

    QRect work_area() const { return QRect(area.left, area.top, area.right - area.left, area.bottom - area.top); }

    // Shown and framed: under a window manager its frame is known once it has been mapped.
    void wait_shown(QWidget* w) {
        ASSERT_TRUE(wait_until([&] {
            if (!w->isVisible()) return false;
            XWindowAttributes a{};
            if (!XGetWindowAttributes(x->display(), xid(w), &a) || a.map_state != IsViewable) return false;
            return !wm || !x->longs(xid(w), "_NET_FRAME_EXTENTS", XA_CARDINAL, 4).empty();
        }));
    }

    frmKaikei& show_exam_window() {
        common::windows().exam_window().show_modeless();
        frmKaikei& f = *exam_window::kaikei().peek();
        wait_shown(&f);
        EXPECT_TRUE(wait_until([&] { return x->has_focus(xid(&f)); })) << "the examination window has no focus";
        return f;
    }

    std::unique_ptr<fakes::X11Desktop> x;
    bool wm = false;
    platform::Rect area;
};

TEST_F(WindowManagerX11, MainWindowFrameFillsTheWorkAreaHeight) {
    auto& f = load_main();
    f.show_modeless();
    wait_shown(&f);

    // Left −30 twips, top 0, the whole work-area height and 1/2.3 of its width, frame included.
    const QRect outer = x->outer(xid(&f));
    EXPECT_EQ(outer.left(), -2);
    EXPECT_EQ(outer.top(), 0);
    EXPECT_EQ(outer.height(), work_area().height());
    EXPECT_EQ(outer.width(), common::twips_to_px(work_area().width() * 15 / 2.3));
    const fakes::Extents e = x->extents(xid(&f));
    if (wm) {
        EXPECT_GT(e.top, 0) << "openbox gives the window a title bar";
    }
    EXPECT_EQ(f.frame().top, e.top);
    EXPECT_EQ(f.frame().left, e.left);
    // The stage button stays inside the client area, above the panel.
    EXPECT_LE(f.Command1->geometry().bottom(), f.height());
    EXPECT_GT(f.Command1->geometry().top(), 0);
}

TEST_F(WindowManagerX11, DialogsCentredByTheirFramesTaskbarAndNoClose) {
    struct Case {
        const char* name;
        std::function<common::Form&()> get;
        QSize client;
        bool in_taskbar;
        std::function<void()> unload;
    };
    load_main();
    const Case cases[] = {
        {"frmShipai", [] () -> common::Form& { return main_window::shipai_dialog().get(); }, QSize(366, 280), false,
         [] { main_window::shipai_dialog().unload(); }},
        {"frmEntryMiss", [] () -> common::Form& { return main_window::entry_miss_dialog().get(); }, QSize(366, 280),
         false, [] { main_window::entry_miss_dialog().unload(); }},
        {"frmUserInfo", [] () -> common::Form& { return main_window::user_info_dialog().get(); }, QSize(491, 346), true,
         [] { main_window::user_info_dialog().unload(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        common::Form& d = c.get();
        d.show_modeless();
        wait_shown(&d);
        const Window w = xid(&d);
        EXPECT_EQ(x->client(w).size(), c.client);
        const QRect outer = x->outer(w);
        EXPECT_LE(std::abs(outer.center().x() - work_area().center().x()), 1);
        EXPECT_LE(std::abs(outer.center().y() - work_area().center().y()), 1);
        EXPECT_EQ(x->has_state(w, "_NET_WM_STATE_SKIP_TASKBAR"), !c.in_taskbar);
        // No control box: the window manager is offered moving (and sizing where the
        // border is sizable) and nothing else.
        EXPECT_TRUE(wait_until([&] { return x->motif_functions(w) == (c.in_taskbar ? 6 : 4); }))
            << x->motif_functions(w);
        x->try_every_close(xid(&d));
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(d.is_unloaded());
        c.unload();
        common::flush_unloads();
    }
}

TEST_F(WindowManagerX11, ExamWindowAboveOtherProgramsAndBoxesAboveItWithTheFocus) {
    const Window before = x->other_window(200, 150, 700, 500, 0xC04040);
    frmKaikei& f = show_exam_window();
    const Window exam = xid(&f);

    // It covers the work area from one pixel beyond its corner, frame and all.
    EXPECT_EQ(x->outer(exam), QRect(area.left - 1, area.top - 1, work_area().width(), work_area().height()));
    EXPECT_TRUE(x->has_state(exam, "_NET_WM_STATE_ABOVE"));
    EXPECT_GT(x->stack_index(exam), x->stack_index(before));

    // A program that comes up later stays below it where a window manager keeps the
    // band above; on a bare display it covers the window until the next assertion.
    const Window later = x->other_window(400, 300, 700, 500, 0x4040C0);
    fakes::settle(300);
    if (wm) {
        EXPECT_GT(x->stack_index(exam), x->stack_index(later));
    }

    // The end question: the window leaves the band above, the box comes over it with the
    // focus, and "No" (the default, by Enter) gives both back.
    bool checked = false;
    BoxWatcher end_question([&](QMessageBox* box) {
        const Window b = xid(box);
        EXPECT_TRUE(wait_until([&] { return x->has_focus(b); })) << "the end question has no focus";
        EXPECT_GT(x->stack_index(b), x->stack_index(exam));
        // Only a window manager keeps the state of a mapped window.
        if (wm) {
            EXPECT_FALSE(x->has_state(exam, "_NET_WM_STATE_ABOVE"));
        }
        EXPECT_TRUE(wait_until([&] { return (x->motif_functions(b) & 32) == 0; })) << "a Yes/No question offers no close";
        x->try_every_close(xid(box));
        EXPECT_TRUE(box->isVisible()) << "a Yes/No question cannot be closed";
        checked = true;
        x->key(XK_Return);
    });
    f.Command1->click();
    EXPECT_TRUE(checked);
    if (wm) {
        EXPECT_TRUE(wait_until([&] { return x->has_state(exam, "_NET_WM_STATE_ABOVE"); }));
    }
    EXPECT_TRUE(wait_until([&] { return x->has_focus(exam); })) << "the focus did not come back";
    EXPECT_TRUE(f.Command1->isEnabled());
    EXPECT_TRUE(wait_until([&] { return x->stack_index(exam) > x->stack_index(later); }));

    // The time-up question is system-modal: above the window even while it is in the band.
    checked = false;
    BoxWatcher time_up([&](QMessageBox* box) {
        const Window b = xid(box);
        EXPECT_EQ(box->windowTitle(), QString::fromUtf8("解答時間終了"));
        EXPECT_TRUE(wait_until([&] { return x->has_focus(b); })) << "the time-up question has no focus";
        EXPECT_GT(x->stack_index(b), x->stack_index(exam));
        EXPECT_GT(x->stack_index(b), x->stack_index(later));
        EXPECT_TRUE(x->has_state(b, "_NET_WM_STATE_ABOVE"));
        checked = true;
        // Time is given back before "No", so the question does not come again at once.
        f.start_tick = platform::current().clock->tick_count();
        x->key(XK_Return);
    });
    f.start_tick = platform::current().clock->tick_count() - 2401000;
    EXPECT_TRUE(wait_until([&] { return checked && !QApplication::activeModalWidget(); }));
    if (wm) {
        EXPECT_TRUE(wait_until([&] { return x->has_state(exam, "_NET_WM_STATE_ABOVE"); }));
    }
    EXPECT_TRUE(wait_until([&] { return x->has_focus(exam); })) << "the focus did not come back";
    EXPECT_TRUE(exam_window::kaikei().loaded());
}

TEST_F(WindowManagerX11, ResultWindowAboveOtherProgramsAndItsPrintQuestionAboveIt) {
    const Window other = x->other_window(100, 100, 900, 700, 0x40C040);
    // As the end sequence shows it: at the screen's origin, above every other window.
    auto& f = load_main();
    f.set_print_button_visible(true);
    f.show_topmost_at_origin();
    wait_shown(&f);
    const Window main = xid(&f);
    EXPECT_EQ(x->outer(main).topLeft(), QPoint(0, 0));
    EXPECT_TRUE(x->has_state(main, "_NET_WM_STATE_ABOVE"));
    EXPECT_GT(x->stack_index(main), x->stack_index(other));
    const Window later = x->other_window(150, 150, 900, 700, 0x40C0C0);
    if (wm) {
        EXPECT_TRUE(wait_until([&] { return x->stack_index(main) > x->stack_index(later); }));
    }

    // "結果印刷" is no system-modal box, yet it comes above the window kept above the others.
    bool checked = false;
    BoxWatcher print_question([&](QMessageBox* box) {
        const Window b = xid(box);
        EXPECT_EQ(box->windowTitle(), QString::fromUtf8("結果印刷"));
        EXPECT_TRUE(wait_until([&] { return x->has_focus(b); })) << "the print question has no focus";
        EXPECT_GT(x->stack_index(b), x->stack_index(main));
        checked = true;
        x->key(XK_Return);  // "いいえ", the default
    });
    f.cmdPrint->click();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(common::main_values().printed_flag);
    EXPECT_TRUE(wait_until([&] { return x->has_focus(main); })) << "the focus did not come back";
}

TEST_F(WindowManagerX11, ExamWindowRefusesEveryCloseWhileTheCandidateWorks) {
    frmKaikei& f = show_exam_window();
    const QRect outer = x->outer(xid(&f));
    x->try_every_close(xid(&f));
    EXPECT_TRUE(exam_window::kaikei().loaded());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(x->outer(xid(&f)), outer);
    EXPECT_TRUE(x->has_state(xid(&f), "_NET_WM_STATE_ABOVE"));
}

TEST_F(WindowManagerX11, MainWindowCloseButtonUnloadsIt) {
    auto& f = load_main();
    f.show_modeless();
    wait_shown(&f);
    if (wm) {
        x->click_close_button(xid(&f));
    } else {
        x->send_delete(xid(&f));
    }
    EXPECT_TRUE(wait_until([] { return !main_window::main_form().loaded(); }));
    EXPECT_EQ(last_unloaded_, 1);
}

TEST_F(WindowManagerX11, EnterClicksTheFocusedButton) {
    load_main();
    // The failure dialog opens on "中断"; Tab takes the focus to "やり直し", Enter clicks it.
    auto& shipai = main_window::shipai_dialog().get();
    shipai.show_modeless();
    wait_shown(&shipai);
    ASSERT_TRUE(wait_until([&] { return shipai.OKButton->hasFocus(); }));
    x->key(XK_Tab);
    ASSERT_TRUE(wait_until([&] { return shipai.CancelButton->hasFocus(); }));
    x->key(XK_Return);
    EXPECT_TRUE(wait_until([] { return !main_window::shipai_dialog().loaded(); }));
    EXPECT_TRUE(main_window::main_form().loaded()) << "Enter clicked \"中断\", not the focused button";

    // The confirmation: Enter on "登録" after a Tab sets the flag.
    common::state().confirm_flag = false;
    auto& info = main_window::user_info_dialog().get();
    info.show_modeless();
    wait_shown(&info);
    ASSERT_TRUE(wait_until([&] { return info.Command1->hasFocus(); }));
    x->key(XK_Tab);
    ASSERT_TRUE(wait_until([&] { return info.Command2->hasFocus(); }));
    x->key(XK_KP_Enter);
    EXPECT_TRUE(wait_until([] { return !main_window::user_info_dialog().loaded(); }));
    EXPECT_TRUE(common::state().confirm_flag);
    main_window::main_form().unload();
    common::flush_unloads();

    // A tab button of the examination window.
    frmKaikei& f = show_exam_window();
    f.cmdMondai[2]->setFocus();
    ASSERT_TRUE(wait_until([&] { return f.cmdMondai[2]->hasFocus(); }));
    x->key(XK_Return);
    EXPECT_TRUE(wait_until([&] { return f.current_tab == 2; }));
    EXPECT_TRUE(f.page_opened[2]);
}

}  // namespace
