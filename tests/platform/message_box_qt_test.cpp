// The shipped message box shows every box and answers only what the person clicks, whatever
// the environment says; the scripted boxes of the programs' test builds answer from a file
// and log each box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/backends.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "support/scripted_message_box.h"
#include "support/temp_dir.h"

namespace {

using platform::MbButtons;
using platform::MbResult;
using platform::MessageBoxSpec;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

MessageBoxSpec request(MbButtons b, std::string title, std::string text) {
    MessageBoxSpec s;
    s.buttons = b;
    s.title = std::move(title);
    s.text = std::move(text);
    return s;
}

class ScriptedMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        script_ = dir_.write("answers.txt", "Yes\n\nok\nCancel\n");
        log_ = dir_.file("boxes.log");
    }
    fakes::TempDir dir_{"ledgrin-msgbox-"};
    std::string script_, log_;
};

TEST_F(ScriptedMessageBoxTest, TheShippedBoxObeysNoScriptAndWritesNoLog) {
    ASSERT_EQ(setenv("LEDGRIN_MSGBOX_SCRIPT", script_.c_str(), 1), 0);
    ASSERT_EQ(setenv("LEDGRIN_MSGBOX_LOG", log_.c_str(), 1), 0);
    auto mb = platform::make_qt_message_box("OrvaneLedgrin");
    // The box is up and takes the click; the script's "Yes" answers nothing.
    bool shown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        shown = true;
        for (auto* b : box->buttons())
            if (b->text() == QString::fromUtf8("いいえ")) b->click();
    });
    poll.start(20);
    const MbResult r = mb->show(request(MbButtons::YesNo, "終了確認", "終了しますか"));
    poll.stop();
    unsetenv("LEDGRIN_MSGBOX_SCRIPT");
    unsetenv("LEDGRIN_MSGBOX_LOG");
    EXPECT_TRUE(shown);
    EXPECT_EQ(r, MbResult::No);
    EXPECT_EQ(slurp(script_), "Yes\n\nok\nCancel\n");
    EXPECT_FALSE(std::filesystem::exists(log_));
}

TEST_F(ScriptedMessageBoxTest, AnswersInOrderAndLogsEachBox) {
    fakes::ScriptedMessageBox mb("OrvaneLedgrin", script_, log_);
    EXPECT_EQ(mb.show(request(MbButtons::YesNo, "終了確認", "終了\r\nして\\よい")), MbResult::Yes);
    // Blank lines are skipped; the names are not case-sensitive.
    EXPECT_EQ(mb.show(request(MbButtons::Ok, "", "通知")), MbResult::Ok);
    // The answers are consumed from the file, so another program would go on from here.
    EXPECT_EQ(slurp(script_), "Cancel\n");
    EXPECT_EQ(mb.show(request(MbButtons::OkCancel, "送信中止", "x")), MbResult::Cancel);
    EXPECT_THROW(mb.show(request(MbButtons::Ok, "t", "no answer left")), platform::Error);
    EXPECT_EQ(slurp(log_),
              "終了確認\t終了\\r\\nして\\\\よい\tYes\n"
              "OrvaneLedgrin\t通知\tOk\n"
              "送信中止\tx\tCancel\n");
}

TEST_F(ScriptedMessageBoxTest, AnAnswerThatTheBoxDoesNotOfferOrAMissingScriptIsAnError) {
    // "Yes" for an OK box: a broken script must not pass for an answer.
    fakes::ScriptedMessageBox mb("OrvaneLedgrin", script_, log_);
    EXPECT_THROW(mb.show(request(MbButtons::Ok, "t", "x")), platform::Error);
    fakes::ScriptedMessageBox missing("OrvaneLedgrin", dir_.file("none.txt"), log_);
    EXPECT_THROW(missing.show(request(MbButtons::Ok, "t", "x")), platform::Error);
    EXPECT_EQ(slurp(log_), "");
}

}  // namespace
