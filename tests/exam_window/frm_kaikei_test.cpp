// The examination window: load, geometry, tabs, end button and its refusal to close.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "common/text.h"
#include "common/windows.h"
#include "exam_window/install.h"
#include "exam_window_fixture.h"

namespace {

using exam_test::ExamWindowTest;
using exam_window::frmKaikei;
using platform::MbResult;
using ::testing::ElementsAre;

int px(double twips) { return common::twips_to_px(twips); }

bool is_pink(const QPushButton* b) { return b->palette().color(QPalette::Button) == exam_window::chosen_tab_colour(); }

TEST_F(ExamWindowTest, LoadNavigatesThePanesInOrderAndLeavesOnlyTheFirstShown) {
    frmKaikei& f = load();
    const std::string data = fp.system->program + "data/";
    EXPECT_THAT(pane(f, 1).calls, ElementsAre("navigate " + data + "index.html"));
    EXPECT_THAT(pane(f, 2).calls, ElementsAre("navigate " + data + "index2.html"));
    EXPECT_THAT(pane(f, 3).calls, ElementsAre("navigate " + data + "index3.html"));
    // The three panes came from the factory in this order, with the data folder as base.
    ASSERT_EQ(fp.browsers->panes.size(), 3u);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(fp.browsers->panes[n - 1], &pane(f, n));
        EXPECT_EQ(pane(f, n).data_folder, data);
        EXPECT_EQ(pane(f, n).left(), 0) << n;
        EXPECT_EQ(pane(f, n).top(), 0) << n;
    }
    EXPECT_TRUE(pane(f, 1).visible());
    EXPECT_FALSE(pane(f, 2).visible());
    EXPECT_THAT(pane(f, 3).visibility, ElementsAre(true, false));

    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_TRUE(f.Timer2->Enabled());
    EXPECT_FALSE(f.Timer3->Enabled());
    EXPECT_EQ(f.Timer3->Interval(), 0);
    EXPECT_TRUE(f.block_unload);
    EXPECT_EQ(common::state().time_limit, 2400);
    EXPECT_EQ(f.start_tick, kLoadTick);
    EXPECT_EQ(f.pane_margin, 1060);
    EXPECT_EQ(f.font_size, 16);
    EXPECT_EQ(f.current_tab, 0);
    EXPECT_THAT(topmost_calls(), ElementsAre("topmost on"));
    EXPECT_EQ(common::text_of(f.lblRemaining), "残り時間：30:00");
    EXPECT_FALSE(f.lblWaitMsg->isVisibleTo(&f));
    EXPECT_TRUE(f.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(is_pink(f.cmdMondai[0]));
    EXPECT_FALSE(is_pink(f.cmdMondai[1]));
    EXPECT_EQ(common::caption_of(f.cmdMondai[2]), "第３問");
    EXPECT_EQ(common::caption_of(f.Command1), "試験終了");
}

TEST_F(ExamWindowTest, LoadAfterTheEndDoesNothing) {
    common::state().exam_ended = true;
    frmKaikei& f = load();
    EXPECT_TRUE(pane(f, 1).calls.empty());
    EXPECT_FALSE(f.Timer1->Enabled());
    EXPECT_FALSE(f.block_unload);
    EXPECT_TRUE(topmost_calls().empty());
    EXPECT_EQ(common::state().time_limit, 0);
}

struct GeometryCase {
    platform::Rect area;
    bool known;
    double twips_per_px;
};

TEST_F(ExamWindowTest, ResizeCoversTheWorkAreaAndPlacesTheControlsOnItsLowerEdge) {
    const GeometryCase cases[] = {
        {{0, 0, 1920, 1040}, true, 15},
        {{0, 0, 1024, 738}, true, 15},
        {{100, 50, 1380, 1010}, true, 15},
        {{0, 0, 1920, 1040}, true, 12},
        {{0, 0, 0, 0}, false, 15},  // work area unknown
        {{0, 0, 40, 30}, true, 15},  // smaller than the margins
    };
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.area.right - c.area.left << "x" << c.area.bottom - c.area.top << " at "
                                        << c.twips_per_px);
        fp.screen->area = c.area;
        fp.screen->area_known = c.known;
        fp.screen->twips_x = fp.screen->twips_y = c.twips_per_px;
        frmKaikei& f = load();
        f.Form_Resize();
        const double W = c.twips_per_px * (c.area.right - c.area.left);
        const double H = c.twips_per_px * (c.area.bottom - c.area.top);
        EXPECT_EQ(f.Left(), -15);
        EXPECT_EQ(f.Top(), -15);
        EXPECT_EQ(f.Width(), W);
        EXPECT_EQ(f.Height(), H);
        EXPECT_EQ(f.x(), -1);
        EXPECT_EQ(f.y(), -1);
        EXPECT_EQ(f.width(), px(W));
        EXPECT_EQ(f.height(), px(H));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(f.cmdMondai[i]->y(), px(H - 950)) << i;
            EXPECT_EQ(f.cmdMondai[i]->x(), px(100 + 2000 * i)) << i;
        }
        EXPECT_EQ(f.Command1->x(), px(W - 1800));
        EXPECT_EQ(f.Command1->y(), px(H - 900));
        EXPECT_EQ(f.lblRemaining->x(), px((W - 3015) / 2));
        EXPECT_EQ(f.lblRemaining->y(), px(H - 840));
        EXPECT_EQ(f.lblWaitMsg->x(), px(std::max(60.0, (W - 3675) / 2)));
        EXPECT_EQ(f.lblWaitMsg->y(), px(H - 870));

        f.Form_Activate();
        EXPECT_EQ(pane(f, 1).width(), f.width());
        EXPECT_EQ(pane(f, 1).height(), std::max(0, px(H - 1060)));
        for (int16_t tab : {1, 2, 0}) f.cmdMondai_Click(tab);
        for (int n = 1; n <= 3; ++n) {
            EXPECT_GE(pane(f, n).width(), 0) << n;
            EXPECT_EQ(pane(f, n).height(), std::max(0, px(H - 1060))) << n;
        }
        exam_window::kaikei().unload();
        common::flush_unloads();
    }
}

TEST_F(ExamWindowTest, GeometryOfTheCommonScreen) {
    frmKaikei& f = load();
    f.Form_Resize();
    EXPECT_EQ(f.Width(), 28800);
    EXPECT_EQ(f.Height(), 15600);
    EXPECT_EQ(f.Left(), -15);
    EXPECT_EQ(f.Top(), -15);
    EXPECT_EQ(f.cmdMondai[0]->geometry(), QRect(px(100), px(14650), px(1900), px(615)));
    EXPECT_EQ(f.cmdMondai[1]->x(), px(2100));
    EXPECT_EQ(f.cmdMondai[2]->x(), px(4100));
    EXPECT_EQ(f.Command1->geometry(), QRect(px(27000), px(14700), px(1335), px(495)));
    f.Form_Activate();
    EXPECT_EQ(pane(f, 1).width(), 1920);
    EXPECT_EQ(pane(f, 1).height(), px(14540));
}

TEST_F(ExamWindowTest, TabsShowExactlyOnePaneAndMarkOpenedPagesForGood) {
    const std::vector<std::vector<int16_t>> sequences = {
        {0}, {1}, {2}, {1, 1}, {2, 0}, {1, 0, 2, 0}, {2, 2, 1, 0, 1},
    };
    for (const auto& seq : sequences) {
        SCOPED_TRACE(testing::PrintToString(seq));
        frmKaikei& f = load();
        f.Form_Resize();
        std::array<bool, 3> opened{};
        for (int16_t tab : seq) {
            const std::array<bool, 3> before = f.page_opened;
            f.cmdMondai_Click(tab);
            if (tab > 0) opened[tab] = true;
            EXPECT_EQ(f.current_tab, tab);
            EXPECT_EQ(f.page_opened, opened);
            for (int i = 0; i < 3; ++i) {
                EXPECT_TRUE(!before[i] || f.page_opened[i]) << "page_opened turned off: " << i;
                EXPECT_EQ(pane(f, i + 1).visible(), i == tab) << "pane " << i + 1;
                EXPECT_EQ(is_pink(f.cmdMondai[i]), i == tab) << "tab " << i;
            }
            EXPECT_EQ(pane(f, tab + 1).width(), f.width());
            EXPECT_EQ(pane(f, tab + 1).height(), px(15600 - 1060));
        }
        exam_window::kaikei().unload();
        common::flush_unloads();
    }
}

TEST_F(ExamWindowTest, ThirdTabShowsHidesAndShowsItsPaneAgain) {
    frmKaikei& f = load();
    pane(f, 3).visibility.clear();
    f.cmdMondai_Click(2);
    EXPECT_THAT(pane(f, 3).visibility, ElementsAre(true, false, true));
}

TEST_F(ExamWindowTest, AnIndexThatIsNoTabChangesNothing) {
    frmKaikei& f = load();
    f.cmdMondai_Click(1);
    f.cmdMondai_Click(3);
    f.cmdMondai_Click(-1);
    EXPECT_EQ(f.current_tab, 1);
    EXPECT_TRUE(is_pink(f.cmdMondai[1]));
    EXPECT_TRUE(pane(f, 2).visible());
}

std::string end_question_text() {
    return std::string("試験を終了してもよろしいですか？") + "\r\n\r\n" + "よろしければ「はい」をクリックしてください。";
}

TEST_F(ExamWindowTest, EndQuestionNoReturnsToTheExaminationAfterHalfASecond) {
    frmKaikei& f = load();
    watch_order(f);
    fp.clock->step_per_read = 1;
    uint32_t box_tick = 0, queued_ran_at = 0;
    bool watchdog_on_during_box = false;
    QObject context;
    fp.message_box->during_box = [&](const platform::MessageBoxSpec&) {
        box_tick = fp.clock->tick;
        watchdog_on_during_box = f.Timer2->Enabled();
        // Would run at once if anything dispatched events before the window went on.
        QTimer::singleShot(0, &context, [&] { queued_ran_at = fp.clock->tick; });
    };
    fp.message_box->answers = {MbResult::No};
    f.Command1_Click();

    ASSERT_EQ(fp.message_box->shown.size(), 1u);
    const platform::MessageBoxSpec& box = fp.message_box->shown[0];
    EXPECT_EQ(box.text, end_question_text());
    EXPECT_EQ(box.title, "OrvaneLedgrin");
    EXPECT_EQ(box.buttons, platform::MbButtons::YesNo);
    EXPECT_EQ(box.icon, platform::MbIcon::Warning);
    EXPECT_EQ(box.default_button, MbResult::No);
    EXPECT_FALSE(box.system_modal);
    EXPECT_TRUE(watchdog_on_during_box);

    EXPECT_THAT(order, ElementsAre("disabled timer=on", "topmost off button=off timer=off",
                                   "topmost on button=off timer=off", "enabled timer=off"));
    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_TRUE(f.Command1->isEnabled());
    EXPECT_EQ(end_calls, 0);
    EXPECT_GE(fp.clock->tick - box_tick, 500u);

    EXPECT_EQ(queued_ran_at, 0u);
    common::do_events();
    EXPECT_GE(queued_ran_at, box_tick + 500);
}

TEST_F(ExamWindowTest, EndQuestionYesRunsTheEndSequenceOnceAfterHalfASecond) {
    frmKaikei& f = load();
    watch_order(f);
    fp.clock->step_per_read = 1;
    uint32_t box_tick = 0, end_tick = 0;
    bool queued_ran = false;
    QObject context;
    fp.message_box->during_box = [&](const platform::MessageBoxSpec&) {
        box_tick = fp.clock->tick;
        QTimer::singleShot(0, &context, [&] { queued_ran = true; });
    };
    auto record = during_end;
    during_end = [&](frmKaikei& form) {
        end_tick = fp.clock->tick;
        EXPECT_FALSE(queued_ran) << "a handler ran between the answer and the end sequence";
        if (record) record(form);
    };
    fp.message_box->answers = {MbResult::Yes};
    QPointer<frmKaikei> alive(&f);
    common::run_handler("Command1_Click", [&] { f.Command1_Click(); });

    EXPECT_EQ(end_calls, 1);
    EXPECT_GE(end_tick - box_tick, 500u);
    EXPECT_THAT(order, ElementsAre("disabled timer=on", "topmost off button=off timer=off",
                                   "end button=off timer=off block_unload=false"));
    EXPECT_FALSE(exam_window::kaikei().loaded());
    ASSERT_TRUE(alive);
    EXPECT_TRUE(f.is_unloaded());
}

TEST_F(ExamWindowTest, CloseRequestIsRefusedWhileTheCandidateWorks) {
    frmKaikei& f = load();
    f.close();
    EXPECT_TRUE(exam_window::kaikei().loaded());
    EXPECT_FALSE(f.is_unloaded());
    bool cancel = false;
    f.Form_Unload(cancel);
    EXPECT_TRUE(cancel);
}

TEST_F(ExamWindowTest, CloseRequestIsRefusedDuringTheEndSequence) {
    frmKaikei& f = load();
    fp.clock->step_per_read = 1;
    bool loaded_after_close = false;
    auto record = during_end;
    during_end = [&](frmKaikei& form) {
        ASSERT_FALSE(form.block_unload);
        form.close();
        loaded_after_close = exam_window::kaikei().loaded() && !form.is_unloaded();
        if (record) record(form);
    };
    fp.message_box->answers = {MbResult::Yes};
    common::run_handler("Command1_Click", [&] { f.Command1_Click(); });
    EXPECT_EQ(end_calls, 1);
    EXPECT_TRUE(loaded_after_close);
    // The end sequence itself still closes the window.
    EXPECT_FALSE(exam_window::kaikei().loaded());
}

TEST_F(ExamWindowTest, CloseRequestIsHonouredWhenNothingIsRunning) {
    // A window loaded after the end has no examination to protect.
    common::state().exam_ended = true;
    frmKaikei& f = load();
    f.close();
    EXPECT_FALSE(exam_window::kaikei().loaded());
    EXPECT_TRUE(f.is_unloaded());
}

TEST_F(ExamWindowTest, HandlerResumingAfterTheEndSequenceDoesNothingMore) {
    frmKaikei& f = load();
    f.Form_Resize();
    // The time runs out and the candidate answers Yes while the tab switch lets events run.
    fp.clock->tick = kLoadTick + 2400501;
    fp.message_box->answers = {MbResult::Yes};
    QTimer::singleShot(0, &f, [&] { f.Timer1->fire(); });
    QPointer<frmKaikei> alive(&f);
    common::run_handler("cmdMondai_Click", [&] { f.cmdMondai_Click(1); });

    EXPECT_EQ(end_calls, 1);
    EXPECT_FALSE(exam_window::kaikei().loaded());
    ASSERT_TRUE(alive);
    EXPECT_TRUE(f.is_unloaded());
    EXPECT_EQ(f.current_tab, 0);
    EXPECT_FALSE(pane(f, 2).visible());
    EXPECT_THAT(topmost_calls(), ElementsAre("topmost on", "topmost off"));
    // Its timers are dead with it: the watchdog does not come back.
    desktop->calls.clear();
    f.Timer2->fire();
    EXPECT_TRUE(desktop->calls.empty());
}

TEST_F(ExamWindowTest, InstallWiresTheWindowDirectory) {
    exam_window::install();
    common::ExamWindowApi& api = common::windows().exam_window();
    ASSERT_TRUE(exam_window::kaikei().loaded());
    frmKaikei& f = *exam_window::kaikei().peek();
    EXPECT_EQ(&api.question_pane(1), f.wbQuestion.get());
    EXPECT_EQ(&api.question_pane(2), f.wbQuestion2.get());
    EXPECT_EQ(&api.question_pane(3), f.wbQuestion3.get());
    EXPECT_THROW(api.question_pane(4), std::out_of_range);
    EXPECT_FALSE(api.unloaded());
    // The same instance until it is unloaded, then a fresh one.
    EXPECT_EQ(&common::windows().exam_window(), &api);
    exam_window::kaikei().unload();
    EXPECT_TRUE(api.unloaded());
    common::flush_unloads();
    EXPECT_FALSE(common::windows().exam_window().unloaded());
    common::windows() = common::WindowDirectory{};
}

}  // namespace
