#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "common/forms.h"
#include "exam_window/after_time.h"
#include "support/fake_platform.h"

namespace {

using exam_window::frmEnd;
using exam_window::frmTimeOut;
using platform::MbResult;

const std::string kWordRefusal =
    "Wordが起動しています。\r\n\r\nWordをすべて終了してから、試験終了を実行してください。";
const std::string kExcelRefusal =
    "Excelが起動しています。\r\n\r\nExcelをすべて終了してから、試験終了を実行してください。";

class AfterTimeTest : public ::testing::Test {
protected:
    void TearDown() override {
        exam_window::time_out_form().unload();
        exam_window::end_form().unload();
        common::flush_unloads();
    }
    frmTimeOut& dialog() { return exam_window::time_out_form().get(); }
    std::string counter() { return common::text_of(dialog().lblRemaining); }
    void add_window(platform::WindowId id, const char* window_class) {
        fake.desktop->windows.push_back({id, window_class, "Book1"});
    }

    fakes::FakePlatform fake;
};

TEST_F(AfterTimeTest, LoadSetsTheTextsAndTakesTheTickCount) {
    fake.clock->tick = 4242;
    frmTimeOut& d = dialog();
    EXPECT_EQ(common::text_of(d.Label1),
              "解答時間が終了しました。\r\n\r\n"
              "指示に従いファイルを保存してください。1分以上経過すると減点対象となります。\r\n"
              "保存・終了できましたら［試験終了］ボタンをクリックしてください。");
    EXPECT_EQ(counter(), "残り時間：00:00");  // until the first tick
    EXPECT_EQ(common::caption_of(d.Command1), "試験終了");
    EXPECT_EQ(d.caption(), "タイムアウト");
    EXPECT_EQ(d.start_tick, 4242u);
    EXPECT_TRUE(d.Timer1->Enabled());
    EXPECT_EQ(d.Timer1->Interval(), 100);
    EXPECT_EQ(d.size(), QSize(350, 246));  // 5250 x 3690 twips
}

TEST_F(AfterTimeTest, TheCounterShowsMinutesAndSecondsSinceTheLoad) {
    struct Case {
        uint32_t elapsed_ms;
        const char* shown;
    };
    const Case cases[] = {
        {0, "経過時間：0:00"},       {499, "経過時間：0:00"},     {500, "経過時間：0:00"},  // halves to even
        {1500, "経過時間：0:02"},    {2500, "経過時間：0:02"},    {59499, "経過時間：0:59"},
        {59500, "経過時間：1:00"},   {65000, "経過時間：1:05"},   {600000, "経過時間：10:00"},
        {36000000, "経過時間：600:00"},  // ten hours: more seconds than 16 bits hold
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed_ms);
        fake.clock->tick = 100000;
        frmTimeOut& d = dialog();
        fake.clock->tick += c.elapsed_ms;
        d.Timer1->fire();
        EXPECT_EQ(counter(), c.shown);
        exam_window::time_out_form().unload();
        common::flush_unloads();
    }
}

TEST_F(AfterTimeTest, TheCounterGoesOnAcrossTheSignBoundaryAndAWrapOfTheTickCount) {
    for (uint32_t start : {0x7FFFFFF0u, 0xFFFFFFF0u}) {
        SCOPED_TRACE(start);
        fake.clock->tick = start;
        frmTimeOut& d = dialog();
        fake.clock->tick = start + 65000u;  // wraps for the second start
        d.Timer1->fire();
        EXPECT_EQ(counter(), "経過時間：1:05");
        exam_window::time_out_form().unload();
        common::flush_unloads();
    }
}

TEST_F(AfterTimeTest, TheButtonRefusesWhileAWordProcessorOrSpreadsheetRuns) {
    add_window(11, "OpusApp");
    add_window(12, "XLMAIN");
    fake.message_box->answers = {MbResult::Ok, MbResult::Ok, MbResult::Ok, MbResult::Ok};
    dialog().Command1_Click();
    ASSERT_EQ(fake.message_box->shown.size(), 1u);
    const auto& box = fake.message_box->shown[0];
    EXPECT_EQ(box.text, kExcelRefusal);  // the spreadsheet's text replaces the word processor's
    EXPECT_EQ(box.title, "");            // the program's own title
    EXPECT_EQ(box.buttons, platform::MbButtons::Ok);
    EXPECT_EQ(box.icon, platform::MbIcon::None);
    EXPECT_TRUE(exam_window::time_out_form().loaded());

    fake.desktop->windows.pop_back();  // the spreadsheet is closed
    dialog().Command1_Click();
    ASSERT_EQ(fake.message_box->shown.size(), 2u);
    EXPECT_EQ(fake.message_box->shown[1].text, kWordRefusal);
    EXPECT_TRUE(exam_window::time_out_form().loaded());

    // The Linux programs of each kind count the same; a text editor does not.
    fake.desktop->windows = {{21, "libreoffice-writer", "Untitled 1 - LibreOffice Writer", "libreoffice"},
                             {22, "Gnumeric", "Book1.gnumeric - Gnumeric", "gnumeric"},
                             {23, "Mousepad", "a.txt - Mousepad", "mousepad"}};
    dialog().Command1_Click();
    ASSERT_EQ(fake.message_box->shown.size(), 3u);
    EXPECT_EQ(fake.message_box->shown[2].text, kExcelRefusal);
    fake.desktop->windows.erase(fake.desktop->windows.begin() + 1);
    dialog().Command1_Click();
    ASSERT_EQ(fake.message_box->shown.size(), 4u);
    EXPECT_EQ(fake.message_box->shown[3].text, kWordRefusal);

    fake.desktop->windows = {{23, "Mousepad", "a.txt - Mousepad", "mousepad"}};
    dialog().Command1_Click();
    EXPECT_EQ(fake.message_box->shown.size(), 4u);
    EXPECT_FALSE(exam_window::time_out_form().loaded());
}

TEST_F(AfterTimeTest, WithNeitherProgramTheButtonClosesAtOnceAndTheNextUseLoadsAfresh) {
    fake.clock->tick = 1000;
    dialog();
    fake.clock->tick = 50000;
    dialog().Command1_Click();
    EXPECT_TRUE(fake.message_box->shown.empty());
    EXPECT_FALSE(exam_window::time_out_form().loaded());
    common::flush_unloads();
    EXPECT_EQ(dialog().start_tick, 50000u);
    EXPECT_EQ(counter(), "残り時間：00:00");
}

TEST_F(AfterTimeTest, TheCounterRunsWhileTheRefusalIsOpen) {
    add_window(11, "OpusApp");
    fake.message_box->answers = {MbResult::Ok};
    fake.message_box->during_box = [&](const platform::MessageBoxSpec&) {
        fake.clock->tick += 3000;
        dialog().Timer1->fire();
    };
    fake.clock->tick = 1000;
    dialog().Command1_Click();
    EXPECT_EQ(counter(), "経過時間：0:03");
}

TEST_F(AfterTimeTest, ActivationKeepsTheDialogAboveAndCloseRequestsAreRefused) {
    frmTimeOut& d = dialog();
    d.Form_Activate();
    EXPECT_TRUE(fake.desktop->topmost[&d]);
    d.close();
    EXPECT_TRUE(exam_window::time_out_form().loaded());
    EXPECT_FALSE(d.is_unloaded());
}

TEST_F(AfterTimeTest, TheEndNoticeSaysItAndGoesWithItsButton) {
    {
        frmEnd design;  // as designed, before its load
        EXPECT_EQ(common::text_of(design.Label1[0]), "Label1");
        EXPECT_EQ(common::text_of(design.Label1[1]), "Label1");
    }
    frmEnd& n = exam_window::end_form().get();
    EXPECT_EQ(n.caption(), "試験終了");
    EXPECT_EQ(common::text_of(n.Label1[0]), "試験はすべて終了しました。");
    EXPECT_EQ(common::text_of(n.Label1[1]), "試験結果を表示します。");
    EXPECT_EQ(common::caption_of(n.cmdOk), "はい");
    n.close();
    EXPECT_TRUE(exam_window::end_form().loaded());
    n.cmdOk_Click();
    EXPECT_FALSE(exam_window::end_form().loaded());
}

}  // namespace
