// The examination window on a real X display with real panes: it covers the work area, is
// raised above other programs' windows, shows the three pages behind the three tabs and
// counts the time down. Screenshots go to exam*.png in the build's test-shots folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <chrono>
#include <fstream>
#include <thread>

#include "common/folders.h"
#include "common/forms.h"
#include "common/state.h"
#include "common/text.h"
#include "common/windows.h"
#include "exam_window/frm_kaikei.h"
#include "exam_window/install.h"
#include "platform/backends.h"
#include "support/build_paths.h"
#include "support/fake_message_box.h"
#include "support/fake_system.h"
#include "support/temp_dir.h"
#include "support/screenshot.h"

// Xlib's macros clash with names in Qt's and our headers.
#include <X11/Xlib.h>

namespace {

using exam_window::frmKaikei;

void pump(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void shot(const char* name) {
    EXPECT_TRUE(fakes::save_screenshot(std::string(name) + ".png")) << name;
}

std::string page(const char* title, const char* colour) {
    return std::string("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body style=\"background:") +
           colour + "\"><h1 style=\"font-size:64px\">" + title + "</h1><p>仕訳を入力してください。</p>" +
           "<input name=\"answer\" size=\"20\"></body></html>";
}

// Seconds left as the label shows them ("残り時間：39:58" gives 2398).
int shown_seconds(const QLabel* label) {
    const std::string text = common::text_of(label);
    const std::string prefix = "残り時間：";
    if (text.rfind(prefix, 0) != 0) return -1;
    const std::string rest = text.substr(prefix.size());
    const auto colon = rest.find(':');
    if (colon == std::string::npos) return -1;
    return std::stoi(rest.substr(0, colon)) * 60 + std::stoi(rest.substr(colon + 1));
}

// Position of a top-level window in the stacking order of the root (higher is above).
int stack_index(Display* d, Window w) {
    Window root = 0, parent = 0, *kids = nullptr;
    unsigned int n = 0;
    int index = -1;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &kids, &n) && kids) {
        for (unsigned int i = 0; i < n; ++i) {
            // Our window may sit inside a frame of its own below the root.
            Window top = w;
            for (;;) {
                Window r = 0, p = 0, *c = nullptr;
                unsigned int m = 0;
                if (!XQueryTree(d, top, &r, &p, &c, &m)) break;
                if (c) XFree(c);
                if (p == r || p == 0) break;
                top = p;
            }
            if (kids[i] == top) index = static_cast<int>(i);
        }
        XFree(kids);
    }
    return index;
}

class ExamWindowX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X display";
        d = XOpenDisplay(nullptr);
        if (!d) GTEST_SKIP() << "no X display";

        platform_.clock = platform::make_boottime_clock();
        platform_.screen = platform::make_qt_screen();
        platform_.desktop = platform::make_x11_desktop();
        platform_.keys = platform::make_xtest_key_sender();
        platform_.browsers = platform::make_webengine_browsers();
        platform_.files = platform::make_posix_files();
        auto box = std::make_unique<fakes::FakeMessageBox>();
        message_box = box.get();
        platform_.message_box = std::move(box);
        auto system = std::make_unique<fakes::FakeSystem>();
        system->temp = dir.folder("tmp");
        system->program = dir.folder("app");
        platform_.system = std::move(system);
        platform::set_current(&platform_);

        common::install_fonts();
        common::reset_state();
        const std::string data = dir.folder("app/data");
        common::state().data_path = data;
        dir.write("app/data/index.html", page("第１問のページ", "#ffffe0"));
        dir.write("app/data/index2.html", page("第２問のページ", "#e0f0ff"));
        dir.write("app/data/index3.html", page("第３問のページ", "#e8ffe8"));
        exam_window::install();
    }

    void TearDown() override {
        if (exam_window::kaikei().loaded()) exam_window::kaikei().unload();
        common::flush_unloads();
        common::windows() = common::WindowDirectory{};
        common::reset_state();
        for (Window w : others) XDestroyWindow(d, w);
        if (d) XCloseDisplay(d);
        platform::set_current(nullptr);
    }

    // Another program's window, of a class the watchdog leaves alone.
    Window other_window(int x, int y, unsigned long pixel) {
        Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), x, y, 700, 500, 0, 0, pixel);
        XMapWindow(d, w);
        XSync(d, False);
        others.push_back(w);
        return w;
    }

    fakes::TempDir dir{"ledgrin-exam-x11-"};
    platform::Platform platform_;
    fakes::FakeMessageBox* message_box = nullptr;
    Display* d = nullptr;
    std::vector<Window> others;
};

TEST_F(ExamWindowX11, CoversTheWorkAreaStaysAboveShowsThePagesAndCountsDown) {
    const Window before = other_window(200, 150, 0xC04040);

    common::windows().exam_window().show_modeless();
    frmKaikei& f = *exam_window::kaikei().peek();
    pump(1500);

    // Covers the work area, starting one pixel beyond its corner.
    platform::Rect area = common::get_work_area();
    const Window ours = static_cast<Window>(f.winId());
    XWindowAttributes attrs{};
    ASSERT_TRUE(XGetWindowAttributes(d, ours, &attrs));
    Window child = 0;
    int rx = 0, ry = 0;
    XTranslateCoordinates(d, ours, DefaultRootWindow(d), 0, 0, &rx, &ry, &child);
    EXPECT_EQ(rx, area.left - 1);
    EXPECT_EQ(ry, area.top - 1);
    EXPECT_EQ(attrs.width, area.right - area.left);
    EXPECT_EQ(attrs.height, area.bottom - area.top);
    EXPECT_GT(stack_index(d, ours), stack_index(d, before));
    EXPECT_EQ(f.wbQuestion->width(), f.width());
    EXPECT_TRUE(f.wbQuestion->visible());
    shot("exam1_first_page");

    // A program that comes up meanwhile goes on top, until the window is made topmost again
    // (here by answering No to the end question).
    const Window later = other_window(400, 300, 0x4040C0);
    pump(200);
    message_box->answers = {platform::MbResult::No};
    f.Command1->click();
    pump(300);
    EXPECT_GT(stack_index(d, ours), stack_index(d, later));
    EXPECT_GT(stack_index(d, ours), stack_index(d, before));
    EXPECT_TRUE(f.Command1->isEnabled());

    const int seconds_before = shown_seconds(f.lblRemaining);
    const auto counted_from = std::chrono::steady_clock::now();
    f.cmdMondai[1]->click();
    pump(1200);
    EXPECT_TRUE(f.wbQuestion2->visible());
    EXPECT_FALSE(f.wbQuestion->visible());
    EXPECT_EQ(f.wbQuestion2->height(), std::max(0, common::twips_to_px(f.Height() - f.pane_margin)));
    shot("exam2_second_page");

    f.cmdMondai[2]->click();
    pump(1200);
    EXPECT_TRUE(f.wbQuestion3->visible());
    EXPECT_FALSE(f.wbQuestion2->visible());
    shot("exam3_third_page");

    // Time goes by: the label counts down.
    const int seconds_after = shown_seconds(f.lblRemaining);
    EXPECT_GT(seconds_before, 0);
    EXPECT_LT(seconds_after, seconds_before);
    // No faster than the time that went by, however long a loaded machine took for it.
    const auto went_by =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - counted_from).count();
    EXPECT_GE(seconds_after, seconds_before - went_by - 1);

    f.cmdMondai[0]->click();
    pump(600);
    EXPECT_TRUE(f.wbQuestion->visible());
    EXPECT_FALSE(f.wbQuestion3->visible());
    shot("exam4_back_to_first");
    EXPECT_TRUE(f.page_opened[1]);
    EXPECT_TRUE(f.page_opened[2]);

    // The window manager's close request (here sent by hand) leaves it where it is.
    f.close();
    pump(100);
    EXPECT_TRUE(exam_window::kaikei().loaded());
    EXPECT_TRUE(f.isVisible());
}

}  // namespace
