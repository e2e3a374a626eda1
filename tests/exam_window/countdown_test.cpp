// The countdown of the examination window and its time-up question.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "common/text.h"
#include "exam_window_fixture.h"

namespace {

using exam_test::ExamWindowTest;
using exam_window::frmKaikei;
using platform::MbResult;
using ::testing::ElementsAre;

std::string time_up_text() {
    return std::string("【注意】") + "\r\n\r\n" + "解答時間が終了しました。" + "\r\n\r\n" +
           "採点中はキーボードならびにマウスを" + "\r\n\r\n" + "操作しないでください。";
}

TEST_F(ExamWindowTest, LabelShowsTheRemainingTimeRoundedHalfToEven) {
    struct Case {
        uint32_t elapsed_ms;
        const char* label;
    };
    const Case cases[] = {
        {0, "残り時間：40:00"},        {500, "残り時間：40:00"},     {501, "残り時間：39:59"},
        {1500, "残り時間：39:58"},     {2500, "残り時間：39:58"},    {1801000, "残り時間：9:59"},
        {1855000, "残り時間：9:05"},   {2340000, "残り時間：1:00"},  {2399500, "残り時間：0:00"},
        {2400500, "残り時間：0:00"},
    };
    frmKaikei& f = load();
    for (const Case& c : cases) {
        fp.clock->tick = kLoadTick + c.elapsed_ms;
        f.Timer1_Timer();
        EXPECT_EQ(common::text_of(f.lblRemaining), c.label) << c.elapsed_ms;
        EXPECT_TRUE(fp.message_box->shown.empty()) << c.elapsed_ms;
        EXPECT_TRUE(f.Timer1->Enabled()) << c.elapsed_ms;
    }
    EXPECT_EQ(f.remaining_sec, 0);
}

TEST_F(ExamWindowTest, TickCountWrapsAndSignBoundariesDoNotStopTheCountdown) {
    struct Case {
        uint32_t start, now;
    };
    // 7680 ms after the start in every case: 2392.32 seconds left.
    const Case cases[] = {{0xFFFFF000u, 0x00000E00u}, {0x7FFFF000u, 0x80000E00u}, {0x10000u, 0x11E00u}};
    for (const Case& c : cases) {
        fp.clock->tick = c.start;
        frmKaikei& f = load();
        ASSERT_EQ(f.start_tick, c.start);
        fp.clock->tick = c.now;
        f.Timer1_Timer();
        EXPECT_EQ(common::text_of(f.lblRemaining), "残り時間：39:52") << std::hex << c.start;
        EXPECT_EQ(f.remaining_sec, 2392);
        exam_window::kaikei().unload();
        common::flush_unloads();
    }
}

TEST_F(ExamWindowTest, StartTickIsTakenOnTheFirstTickWhenMissing) {
    frmKaikei& f = load();
    f.start_tick = 0;
    fp.clock->tick = 5000000;
    f.Timer1_Timer();
    EXPECT_EQ(f.start_tick, 5000000u);
    EXPECT_EQ(common::text_of(f.lblRemaining), "残り時間：40:00");
}

TEST_F(ExamWindowTest, TimeUpAsksTheSystemModalQuestionJustAfterTheLimit) {
    frmKaikei& f = load();
    watch_order(f);
    fp.clock->tick = kLoadTick + 2400501;
    bool button_during_box = true, timer_during_box = true;
    fp.message_box->during_box = [&](const platform::MessageBoxSpec&) {
        button_during_box = f.Command1->isEnabled();
        timer_during_box = f.Timer1->Enabled();
    };
    fp.message_box->answers = {MbResult::No};
    f.Timer1_Timer();

    ASSERT_EQ(fp.message_box->shown.size(), 1u);
    const platform::MessageBoxSpec& box = fp.message_box->shown[0];
    EXPECT_EQ(box.text, time_up_text());
    EXPECT_EQ(box.title, "解答時間終了");
    EXPECT_EQ(box.buttons, platform::MbButtons::YesNo);
    EXPECT_EQ(box.icon, platform::MbIcon::Warning);
    EXPECT_EQ(box.default_button, MbResult::No);
    EXPECT_TRUE(box.system_modal);
    EXPECT_FALSE(button_during_box);
    EXPECT_FALSE(timer_during_box);
    EXPECT_EQ(f.timeup_tick, kLoadTick + 2400501);

    EXPECT_THAT(order, ElementsAre("disabled timer=off", "topmost off button=off timer=off",
                                   "enabled timer=on", "topmost on button=on timer=on"));
    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_EQ(end_calls, 0);

    // Asked again on the next tick; the first time-up keeps its tick count.
    fp.clock->tick += 10;
    fp.message_box->answers = {MbResult::Yes};
    order.clear();
    f.Timer1->fire();
    EXPECT_EQ(fp.message_box->shown.size(), 2u);
    EXPECT_EQ(f.timeup_tick, kLoadTick + 2400501);
    EXPECT_EQ(end_calls, 1);
    EXPECT_THAT(order, ElementsAre("disabled timer=off", "topmost off button=off timer=off",
                                   "end button=off timer=off block_unload=false"));
    EXPECT_FALSE(exam_window::kaikei().loaded());
}

TEST_F(ExamWindowTest, TimeUpYesEndsAndLeavesTheCountdownOff) {
    frmKaikei& f = load();
    QPointer<frmKaikei> alive(&f);
    fp.clock->tick = kLoadTick + 2500000;
    fp.message_box->answers = {MbResult::Yes};
    bool timer_at_end = true;
    auto record = during_end;
    during_end = [&](frmKaikei& form) {
        timer_at_end = form.Timer1->Enabled();
        if (record) record(form);
    };
    common::run_handler("Timer1_Timer", [&] { f.Timer1_Timer(); });
    EXPECT_EQ(end_calls, 1);
    EXPECT_FALSE(timer_at_end);
    ASSERT_TRUE(alive);
    EXPECT_FALSE(f.Timer1->Enabled());
    EXPECT_TRUE(f.is_unloaded());
}

TEST_F(ExamWindowTest, ARemainderBeyondSixteenBitsIsStillTimeUp) {
    // The first tick arrives ten hours late (a machine that slept): 2400 - 36000 seconds.
    frmKaikei& f = load();
    fp.clock->tick = kLoadTick + 36000000;
    fp.message_box->answers = {MbResult::No};
    f.Timer1_Timer();
    EXPECT_EQ(fp.message_box->shown.size(), 1u);
    EXPECT_LT(f.remaining_sec, 0);
    // As far as the tick count can go.
    fp.clock->tick = kLoadTick - 1;
    fp.message_box->answers = {MbResult::No};
    f.Timer1_Timer();
    EXPECT_EQ(fp.message_box->shown.size(), 2u);
}

TEST_F(ExamWindowTest, TimeSpentInTheEndQuestionCounts) {
    frmKaikei& f = load();
    fp.clock->tick = kLoadTick + 60000;
    f.Timer1_Timer();
    EXPECT_EQ(common::text_of(f.lblRemaining), "残り時間：39:00");
    // Five minutes in the end question (the half-second wait included), then No.
    fp.clock->step_per_read = 1;
    fp.message_box->during_box = [&](const platform::MessageBoxSpec&) { fp.clock->tick = kLoadTick + 359000; };
    fp.message_box->answers = {MbResult::No};
    f.Command1_Click();
    f.Timer1->fire();
    EXPECT_EQ(common::text_of(f.lblRemaining), "残り時間：34:00");
}

TEST_F(ExamWindowTest, NoToTheEndQuestionAfterTheLimitMeetsTheTimeUpQuestion) {
    frmKaikei& f = load();
    fp.clock->step_per_read = 1;
    fp.message_box->during_box = [&](const platform::MessageBoxSpec&) { fp.clock->tick = kLoadTick + 2401000; };
    fp.message_box->answers = {MbResult::No, MbResult::No};
    f.Command1_Click();
    f.Timer1->fire();
    ASSERT_EQ(fp.message_box->shown.size(), 2u);
    EXPECT_EQ(fp.message_box->shown[1].title, "解答時間終了");
}

TEST_F(ExamWindowTest, OvertimeDisplayIsOffAndShowsElapsedTimeInRedWhenRun) {
    frmKaikei& f = load();
    EXPECT_FALSE(f.Timer3->Enabled());
    EXPECT_EQ(f.Timer3->Interval(), 0);
    f.timeup_tick = 1000;
    fp.clock->tick = 1000 + 65500;  // 65.5 s: 66 after rounding half to even
    f.Timer3_Timer();
    EXPECT_EQ(f.overtime_sec, 66);
    EXPECT_EQ(common::text_of(f.lblRemaining), "経過時間：1:06");
    EXPECT_EQ(f.lblRemaining->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

}  // namespace
