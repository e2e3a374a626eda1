#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPointer>
#include <QScreen>
#include <cstdlib>
#include <stdexcept>

#include "common/forms.h"
#include "platform/dispatch_gate.h"
#include "support/fake_platform.h"

namespace {

using common::DefaultInstance;
using common::Form;

int g_loads = 0;

class Sample : public Form {
public:
    void Form_Load() override {
        ++g_loads;
        caption_at_load = "loaded";
    }
    bool Form_QueryUnload() override { return accept_close; }
    std::string caption_at_load;
    bool accept_close = true;
};

DefaultInstance<Sample> g_sample;

class FormsTest : public ::testing::Test {
protected:
    void TearDown() override {
        g_sample.unload();
        common::flush_unloads();
        common::FormSlot::set_on_last_unloaded(nullptr);
        g_loads = 0;
    }
};

TEST(Twips, PixelsRoundHalfToEven) {
    const std::pair<double, int> cases[] = {{0, 0}, {15, 1}, {22.5, 2}, {37.5, 2}, {52.5, 4}, {-15, -1},
                                            {-30, -2}, {28800, 1920}, {7, 0}, {8, 1}};
    for (auto [twips, px] : cases) {
        SCOPED_TRACE(twips);
        EXPECT_EQ(common::twips_to_px(twips), px);
    }
}

TEST_F(FormsTest, CreatedOnFirstUseLoadedOnceAndFreshAfterAnUnload) {
    EXPECT_FALSE(g_sample.loaded());
    Sample& first = g_sample.get();
    EXPECT_EQ(&g_sample.get(), &first);
    EXPECT_EQ(g_loads, 1);
    first.caption_at_load = "changed";

    QPointer<Sample> watch(&first);
    g_sample.unload();
    EXPECT_FALSE(g_sample.loaded());
    EXPECT_TRUE(first.is_unloaded());
    common::flush_unloads();
    EXPECT_TRUE(watch.isNull());

    Sample& second = g_sample.get();
    EXPECT_EQ(g_loads, 2);
    EXPECT_EQ(second.caption_at_load, "loaded");
}

TEST_F(FormsTest, AnUnloadInsideAHandlerWaitsForTheHandlerToReturn) {
    QPointer<Sample> watch(&g_sample.get());
    common::run_handler("test", [&] {
        g_sample.unload();
        common::do_events();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Still alive: the handler that unloaded it is running.
        ASSERT_FALSE(watch.isNull());
        EXPECT_TRUE(watch->is_unloaded());
    });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
}

TEST_F(FormsTest, TheLastUnloadIsReported) {
    int reported = 0;
    common::FormSlot::set_on_last_unloaded([&] { ++reported; });
    const int before = common::FormSlot::loaded_count();
    g_sample.get();
    EXPECT_EQ(common::FormSlot::loaded_count(), before + 1);
    g_sample.unload();
    EXPECT_EQ(common::FormSlot::loaded_count(), before);
    EXPECT_EQ(reported, before == 0 ? 1 : 0);
}

TEST_F(FormsTest, OutsideCloseIsTheFormsDecision) {
    Sample& f = g_sample.get();
    f.accept_close = false;
    QCloseEvent refuse;
    QCoreApplication::sendEvent(&f, &refuse);
    EXPECT_TRUE(g_sample.loaded());

    f.accept_close = true;
    {
        // A close that arrives while a facility call waits is not acted on.
        platform::DispatchBlock block;
        QCloseEvent during_wait;
        QCoreApplication::sendEvent(&f, &during_wait);
        EXPECT_TRUE(g_sample.loaded());
    }
    QCloseEvent accepted;
    QCoreApplication::sendEvent(&f, &accepted);
    EXPECT_FALSE(g_sample.loaded());
}

TEST_F(FormsTest, AFormWithoutACloseBoxRefusesEveryOutsideClose) {
    Sample& f = g_sample.get();
    f.set_control_box(false);
    f.accept_close = true;
    QCloseEvent refused_by_design;
    QCoreApplication::sendEvent(&f, &refused_by_design);
    EXPECT_TRUE(g_sample.loaded());
    // Its own code still unloads it.
    g_sample.unload();
    EXPECT_FALSE(g_sample.loaded());
}

TEST_F(FormsTest, TimersSkipWhileBlockedNeverReenterAndStopWithTheirForm) {
    Sample& f = g_sample.get();
    int ticks = 0;
    common::Timer* timer = nullptr;
    timer = new common::Timer(&f, "Timer1_Timer", 10, true, [&] {
        ++ticks;
        timer->fire();  // a tick inside its own handler does not run it again
    });
    timer->fire();
    EXPECT_EQ(ticks, 1);
    {
        platform::DispatchBlock block;
        timer->fire();
    }
    EXPECT_EQ(ticks, 1);
    timer->set_Enabled(false);
    timer->fire();
    EXPECT_EQ(ticks, 1);
    timer->set_Enabled(true);
    g_sample.unload();
    timer->fire();
    EXPECT_EQ(ticks, 1);
}

// The twips a form sets are its outer rectangle: with a frame of 4, 24, 4 and 6 pixels the
// client area sits inside it; a form sized by its client area grows by the frame and is
// centred on the work area by its outer rectangle. What the form offers is told before it
// is shown.
TEST_F(FormsTest, OuterGeometryHoldsTheFrameAndHintsAreToldBeforeTheShow) {
    fakes::FakePlatform fp;
    fp.desktop->frame = platform::FrameExtents{4, 24, 4, 6};

    Form outer;
    outer.move_twips(-30, 0, 15 * 400, 15 * 700);
    outer.set_show_in_taskbar(false);
    outer.show();
    EXPECT_EQ(outer.geometry(), QRect(-2 + 4, 0 + 24, 400 - 8, 700 - 30));
    EXPECT_EQ(outer.Height(), 15 * 700);
    EXPECT_EQ(outer.ScaleHeight(), 15 * (700 - 30));
    ASSERT_EQ(fp.desktop->hints.count(&outer), 1u);
    EXPECT_FALSE(fp.desktop->hints[&outer].taskbar);
    EXPECT_TRUE(fp.desktop->hints[&outer].control_box);

    Form dialog;
    dialog.set_client_size(15 * 366, 15 * 280);
    dialog.set_start_centred(true);
    dialog.set_control_box(false);
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(366, 280));
    EXPECT_EQ(dialog.Width(), 15 * (366 + 8));
    EXPECT_EQ(dialog.Height(), 15 * (280 + 30));
    const QRect area = dialog.screen()->availableGeometry();
    const QRect frame = dialog.geometry().adjusted(-4, -24, 4, 6);
    EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 1);
    EXPECT_FALSE(fp.desktop->hints[&dialog].control_box);

    // Without a control box the window manager's close request changes nothing.
    QCloseEvent e;
    QCoreApplication::sendEvent(&dialog, &e);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(Handlers, ErrorsStopAtTheLoopAndIgnoredStatementsGoOn) {
    int after = 0;
    common::run_handler("Command1_Click", [&] { throw std::runtime_error("boom"); });
    common::ignore_errors([] { throw std::runtime_error("skipped"); });
    ++after;
    EXPECT_EQ(after, 1);
}

}  // namespace
