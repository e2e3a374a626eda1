#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPointer>
#include <stdexcept>

#include "common/forms.h"
#include "platform/dispatch_gate.h"

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

    f.set_refuse_close(true);
    f.accept_close = true;
    QCloseEvent refused_by_design;
    QCoreApplication::sendEvent(&f, &refused_by_design);
    EXPECT_TRUE(g_sample.loaded());

    f.set_refuse_close(false);
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

TEST(Handlers, ErrorsStopAtTheLoopAndIgnoredStatementsGoOn) {
    int after = 0;
    common::run_handler("Command1_Click", [&] { throw std::runtime_error("boom"); });
    common::ignore_errors([] { throw std::runtime_error("skipped"); });
    ++after;
    EXPECT_EQ(after, 1);
}

}  // namespace
