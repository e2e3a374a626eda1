// The launcher's windows on a real X display, bare and under a window manager, read back
// with X properties: no taskbar entries, the launcher's icon in its fifteen sizes, the
// sign-in window over the work area, dialogs centred by their frames, closes through the
// window manager refused, and Enter on a focused button.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <functional>
#include <memory>

#include "launcher/icon.h"
#include "launcher_fixture.h"
#include "platform/backends.h"

#include "support/x11_desktop.h"

namespace {

using fakes::wait_until;
using fakes::xid;

class LauncherWindowManager : public launcher_test::LauncherTest {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X display";
        LauncherTest::SetUp();
        common::install_fonts();
        x = std::make_unique<fakes::X11Desktop>();
        ASSERT_NE(x->display(), nullptr);
        wm = x->window_manager_running();
        fp.platform.screen = platform::make_qt_screen();
        fp.platform.desktop = platform::make_x11_desktop();
    }

    void TearDown() override {
        if (x) LauncherTest::TearDown();
        x.reset();
    }

    void wait_shown(QWidget* w) {
        ASSERT_TRUE(wait_until([&] {
            XWindowAttributes a{};
            return w->isVisible() && XGetWindowAttributes(x->display(), xid(w), &a) && a.map_state == IsViewable &&
                   (!wm || !x->longs(xid(w), "_NET_FRAME_EXTENTS", XA_CARDINAL, 4).empty());
        }));
    }

    // The launcher's icon: all fifteen images, each with something drawn. The sign-in
    // window gets it once it has been drawn, a moment after the map (a window manager may
    // put a default icon of its own there meanwhile).
    void expect_launcher_icon(Window w) {
        wait_until([&] { return x->icon_sizes(w).size() == launcher::kIconSizes.size(); });
        bool drawn = false;
        std::vector<QSize> sizes = x->icon_sizes(w, &drawn);
        std::vector<QSize> expected;
        for (int n : launcher::kIconSizes) expected.emplace_back(n, n);
        ASSERT_EQ(expected.size(), 15u);
        EXPECT_EQ(expected.front(), QSize(16, 16));
        EXPECT_EQ(expected.back(), QSize(256, 256));
        std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
        EXPECT_EQ(sizes, expected);
        EXPECT_TRUE(drawn);
    }

    std::unique_ptr<fakes::X11Desktop> x;
    bool wm = false;
};

TEST_F(LauncherWindowManager, SignInWindowOverTheWorkAreaOutOfTheTaskbarWithItsIcon) {
    auto& w = signed_in_window();
    wait_shown(&w);
    const Window id = xid(&w);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(x->outer(id), QRect(0, 0, area.width(), area.height()));
    EXPECT_TRUE(x->has_state(id, "_NET_WM_STATE_SKIP_TASKBAR"));
    EXPECT_EQ(x->motif_functions(id) & (8 | 16 | 32), 0) << "no control box";
    expect_launcher_icon(id);
    x->try_every_close(xid(&w));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(launcher::forms().main.loaded());
    EXPECT_TRUE(fp.process->starts.empty());
}

TEST_F(LauncherWindowManager, DialogsCentredOutOfTheTaskbarWithTheIconAndNoClose) {
    signed_in_window();
    struct Case {
        const char* name;
        std::function<common::Form*()> show;
        QSize client;
    };
    // One at a time: both stand in the middle of the screen.
    const Case cases[] = {
        {"frmShipai",
         [] {
             auto& d = launcher::forms().shipai.get();
             d.show_modeless_above_owner();
             return static_cast<common::Form*>(&d);
         },
         QSize(366, 280)},
        {"frmTestInfo",
         [] {
             auto& d = launcher::forms().test_info.get();
             d.show_modeless();
             return static_cast<common::Form*>(&d);
         },
         QSize(402, 330)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        common::Form* form = c.show();
        wait_shown(form);
        const Window id = xid(form);
        EXPECT_EQ(x->client(id).size(), c.client);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE(std::abs(x->outer(id).center().x() - area.center().x()), 1);
        EXPECT_LE(std::abs(x->outer(id).center().y() - area.center().y()), 1);
        EXPECT_TRUE(x->has_state(id, "_NET_WM_STATE_SKIP_TASKBAR"));
        EXPECT_TRUE(wait_until([&] { return x->motif_functions(id) == 4; })) << x->motif_functions(id);
        expect_launcher_icon(id);
        // Alt+F4 goes to the focused window, which the new dialog is.
        if (wm) {
            ASSERT_TRUE(wait_until([&] { return x->has_focus(id); }));
        }
        x->try_every_close(xid(form));
        EXPECT_TRUE(form->isVisible());
        EXPECT_FALSE(form->is_unloaded());
        form->hide();
    }
    EXPECT_TRUE(fp.process->starts.empty());
    EXPECT_EQ(fp.process->ends, 0);
}

// The failure dialog the sign-in button shows modeless is kept with the sign-in window and
// comes back above it, with the focus, when a window manager minimises it anyway.
TEST_F(LauncherWindowManager, AMinimisedFailureDialogComesBackOverTheSignInWindow) {
    if (!wm) GTEST_SKIP() << "without a window manager nothing minimises a window";
    auto& w = signed_in_window();
    wait_shown(&w);
    const Window sign_in = xid(&w);
    auto& d = launcher::forms().shipai.get();
    d.show_modeless_above_owner();
    wait_shown(&d);
    const Window dialog = xid(&d);
    EXPECT_EQ(x->transient_for(dialog), sign_in);
    x->minimise(dialog);
    ASSERT_TRUE(x->wait_gone_from_sight(dialog)) << "the window manager did not hide it";
    EXPECT_TRUE(wait_until(
        [&] {
            return x->viewable(dialog) && x->has_focus(dialog) && x->stack_index(dialog) > x->stack_index(sign_in);
        },
        1000))
        << "not back within a second";
    d.Command1->click();  // "修正"
    EXPECT_TRUE(wait_until([] { return !launcher::forms().shipai.loaded(); }));
    EXPECT_TRUE(w.Command1->isEnabled());
}

TEST_F(LauncherWindowManager, EnterClicksTheFocusedButton) {
    signed_in_window();
    // The confirmation opens on "やり直し"; Tab and Enter choose "続行".
    auto& info = launcher::forms().test_info.get();
    info.show_modeless();
    wait_shown(&info);
    ASSERT_TRUE(wait_until([&] { return info.OKButton->hasFocus(); }));
    x->key(XK_Tab);
    ASSERT_TRUE(wait_until([&] { return info.CancelButton->hasFocus(); }));
    x->key(XK_Return);
    EXPECT_TRUE(wait_until([] { return !launcher::forms().test_info.loaded(); }));
    EXPECT_TRUE(launcher::state().confirm_flag);

    // The failure dialog: Enter on "修正" after a Tab gives the sign-in button back.
    auto& main = launcher::forms().main.get();
    main.Command1->setEnabled(false);
    auto& shipai = launcher::forms().shipai.get();
    shipai.show_modeless_above_owner();
    wait_shown(&shipai);
    ASSERT_TRUE(wait_until([&] { return shipai.OKButton->hasFocus(); }));
    x->key(XK_Tab);
    ASSERT_TRUE(wait_until([&] { return shipai.Command1->hasFocus(); }));
    x->key(XK_Return);
    EXPECT_TRUE(wait_until([] { return !launcher::forms().shipai.loaded(); }));
    EXPECT_TRUE(main.Command1->isEnabled());
    EXPECT_EQ(fp.process->ends, 0) << "Enter clicked \"中断\", not the focused button";
}

}  // namespace
