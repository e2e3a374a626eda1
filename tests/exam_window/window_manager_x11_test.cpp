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
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
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
using DialogWatcher = fakes::ModalWatcher<common::Form>;

// How long a window a window manager put out of sight may take to come back.
constexpr int kBackWithinMs = 1000;

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

    // Once the window manager has put the window out of sight (seen without letting Qt
    // run), it is back within a second: on the screen, above the windows given (which are
    // back too), with the focus, and not in the hidden state.
    void expect_back(Window w, const std::vector<Window>& above, const char* what) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(x->wait_gone_from_sight(w)) << "the window manager did not hide it";
        QElapsedTimer t;
        t.start();
        const bool back = wait_until(
            [&] {
                if (!x->viewable(w) || !x->has_focus(w) || x->has_state(w, "_NET_WM_STATE_HIDDEN")) return false;
                return std::all_of(above.begin(), above.end(), [&](Window b) {
                    return x->viewable(b) && x->stack_index(w) > x->stack_index(b);
                });
            },
            kBackWithinMs);
        EXPECT_TRUE(back) << "not back after " << t.elapsed() << " ms: viewable " << x->viewable(w) << ", focus "
                          << x->has_focus(w) << ", hidden state " << x->has_state(w, "_NET_WM_STATE_HIDDEN")
                          << (above.empty() ? "" : ", over its owner ")
                          << (above.empty() ? 0 : x->stack_index(w) - x->stack_index(above.front()));
        EXPECT_FALSE(x->showing_desktop());
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
}

TEST_F(WindowManagerX11, MainWindowControlsLieInsideTheClientArea) {
    auto& f = load_main();
    f.show_modeless();
    wait_shown(&f);
    const fakes::Extents e = x->extents(xid(&f));
    // Read by the test that runs this one under other window managers.
    std::printf("[  FRAME   ] main window title bar %d px, lower edge %d px\n", e.top, e.bottom);

    // The controls lie wholly inside the client area, above the panel, whatever the frame;
    // where it leaves room they stand where the design measures them from the outer size.
    f.set_print_button_visible(true);
    f.lblWaitMsg->show();
    f.Form_Resize();
    const QRect client = f.rect();
    const QRect outer_twips(0, 0, static_cast<int>(f.Width()), static_cast<int>(f.Height()));
    struct Control {
        const char* name;
        QWidget* widget;
        QPoint designed;
    } controls[] = {
        {"Command1", f.Command1,
         QPoint(common::twips_to_px(outer_twips.width() - 2600), common::twips_to_px(outer_twips.height() - 1320))},
        {"cmdPrint", f.cmdPrint, QPoint(common::twips_to_px(160), common::twips_to_px(outer_twips.height() - 1320))},
        {"lblWaitMsg", f.lblWaitMsg,
         QPoint(common::twips_to_px(160), common::twips_to_px(outer_twips.height() - 1220))},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.name);
        const QRect g = c.widget->geometry();
        EXPECT_TRUE(client.contains(g)) << "client " << client.height() << ", control bottom " << g.bottom() + 1;
        if (QRect(c.designed, g.size()).bottom() <= client.bottom()) {
            EXPECT_EQ(g.topLeft(), c.designed);
        } else {
            EXPECT_EQ(g.bottom(), client.bottom()) << "moved further than the frame asks";
        }
    }
    EXPECT_FALSE(f.Command1->geometry().intersects(f.cmdPrint->geometry()));
    EXPECT_FALSE(f.Command1->geometry().intersects(f.lblWaitMsg->geometry()));
    EXPECT_LE(f.wbMain->top() + f.wbMain->height(), std::min({f.Command1->y(), f.cmdPrint->y(), f.lblWaitMsg->y()}))
        << "the page runs under the buttons";
    EXPECT_TRUE(f.Command1->isVisible());
    EXPECT_TRUE(x->viewable(xid(&f)));
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

TEST_F(WindowManagerX11, AMinimisedDialogComesBackWithItsWindow) {
    if (!wm) GTEST_SKIP() << "without a window manager nothing minimises a window";
    auto& f = load_main();
    f.show_modeless();
    wait_shown(&f);
    const Window main = xid(&f);

    // The confirmation of the candidate's details, modal over the main window as the
    // registration shows it.
    bool checked = false;
    DialogWatcher minimise([&](common::Form* d) {
        wait_shown(d);
        const Window dialog = xid(d);
        EXPECT_EQ(x->transient_for(dialog), main) << "the dialog is not kept with the main window";
        x->minimise(dialog);
        expect_back(dialog, {main}, "minimised");
        checked = true;
        // The candidate can go on: "登録" answers it.
        main_window::user_info_dialog().get().Command2->click();
    });
    common::state().confirm_flag = false;
    main_window::user_info_dialog().get().show_modal();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(common::state().confirm_flag);
    EXPECT_TRUE(wait_until([&] { return x->has_focus(main); })) << "the focus did not come back";
}

TEST_F(WindowManagerX11, AMinimisedEndQuestionComesBackWithTheExamWindow) {
    if (!wm) GTEST_SKIP() << "without a window manager nothing minimises a window";
    frmKaikei& f = show_exam_window();
    const Window exam = xid(&f);
    bool checked = false;
    BoxWatcher end_question([&](QMessageBox* box) {
        const Window b = xid(box);
        EXPECT_TRUE(wait_until([&] { return x->has_focus(b); }));
        EXPECT_EQ(x->transient_for(b), exam) << "the box is not kept with the examination window";
        x->minimise(b);
        expect_back(b, {exam}, "the end question");
        checked = true;
        x->key(XK_Return);  // "いいえ"
    });
    f.Command1->click();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(wait_until([&] { return x->has_state(exam, "_NET_WM_STATE_ABOVE") && x->has_focus(exam); }));
}

TEST_F(WindowManagerX11, ExamWindowComesBackAfterShowDesktopAndAMinimise) {
    if (!wm) GTEST_SKIP() << "without a window manager nothing hides a window";
    const Window other = x->other_window(200, 150, 700, 500, 0xC04040);
    frmKaikei& f = show_exam_window();
    const Window exam = xid(&f);

    // Another program's window stays where the window manager put it; where it is on the
    // screen, the examination window is above it.
    const auto above_other = [&] { return !x->viewable(other) || x->stack_index(exam) > x->stack_index(other); };
    x->show_desktop(true);
    expect_back(exam, {}, "show desktop");
    EXPECT_TRUE(above_other());
    x->minimise(exam);
    expect_back(exam, {}, "minimised");
    EXPECT_TRUE(above_other());
    EXPECT_TRUE(x->has_state(exam, "_NET_WM_STATE_ABOVE"));
    EXPECT_TRUE(f.Timer1->Enabled());
}

TEST_F(WindowManagerX11, WindowsKeptAboveAreOnEveryWorkspace) {
    if (!wm) GTEST_SKIP() << "without a window manager there are no workspaces";
    // The display is the other tests' too: it goes back to its first workspace and to as
    // many as it had, however this test ends.
    struct Restore {
        fakes::X11Desktop& x;
        long workspaces;
        ~Restore() {
            x.switch_workspace(0);
            if (workspaces < 2) x.set_workspaces(workspaces);
            wait_until([&] { return x.current_workspace() == 0 && (workspaces >= 2 || x.workspaces() == workspaces); },
                       3000);
        }
    } restore{*x, x->workspaces()};
    if (restore.workspaces < 2) x->set_workspaces(2);
    if (!wait_until([&] { return x->workspaces() >= 2; }, 3000))
        GTEST_SKIP() << "the window manager keeps one workspace";
    struct Shown {
        const char* name;
        std::function<QWidget*()> show;
    } cases[] = {
        {"examination window", [&]() -> QWidget* { return &show_exam_window(); }},
        {"result page",
         [&]() -> QWidget* {
             exam_window::kaikei().unload();
             common::flush_unloads();
             auto& m = load_main();
             m.show_topmost_at_origin();
             wait_shown(&m);
             return &m;
         }},
    };
    for (const Shown& c : cases) {
        SCOPED_TRACE(c.name);
        x->switch_workspace(0);
        ASSERT_TRUE(wait_until([&] { return x->current_workspace() == 0; }));
        QWidget* w = c.show();
        const Window win = xid(w);
        EXPECT_TRUE(wait_until([&] { return x->workspace_of(win) == 0xFFFFFFFFL; })) << x->workspace_of(win);
        // The candidate switches to another workspace: the window is there, above.
        x->switch_workspace(1);
        ASSERT_TRUE(wait_until([&] { return x->current_workspace() == 1; }));
        fakes::settle(300);
        EXPECT_TRUE(x->viewable(win)) << "not on the other workspace";
        EXPECT_TRUE(x->has_state(win, "_NET_WM_STATE_ABOVE"));
        EXPECT_EQ(x->workspace_of(win), 0xFFFFFFFFL);
    }
}

}  // namespace
