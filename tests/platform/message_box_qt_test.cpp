// The scripted answers of the Qt message box, which let a test drive a whole run of the
// real program: no box is shown, the answers come from a file and each box is logged.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/backends.h"
#include "platform/error.h"
#include "platform/message_box.h"
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

class ScriptedMessageBox : public ::testing::Test {
protected:
    void SetUp() override {
        script_ = dir_.write("answers.txt", "Yes\n\nok\nCancel\n");
        log_ = dir_.file("boxes.log");
        setenv("LEDGRIN_MSGBOX_SCRIPT", script_.c_str(), 1);
        setenv("LEDGRIN_MSGBOX_LOG", log_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("LEDGRIN_MSGBOX_SCRIPT");
        unsetenv("LEDGRIN_MSGBOX_LOG");
    }
    static MessageBoxSpec request(MbButtons b, std::string title, std::string text) {
        MessageBoxSpec s;
        s.buttons = b;
        s.title = std::move(title);
        s.text = std::move(text);
        return s;
    }
    fakes::TempDir dir_{"ledgrin-msgbox-"};
    std::string script_, log_;
};

TEST_F(ScriptedMessageBox, AnswersInOrderAndLogsEachBox) {
    auto mb = platform::make_qt_message_box("OrvaneLedgrin");
    EXPECT_EQ(mb->show(request(MbButtons::YesNo, "終了確認", "終了\r\nして\\よい")), MbResult::Yes);
    // Blank lines are skipped; the names are not case-sensitive.
    EXPECT_EQ(mb->show(request(MbButtons::Ok, "", "通知")), MbResult::Ok);
    // The answers are consumed from the file, so another program would go on from here.
    EXPECT_EQ(slurp(script_), "Cancel\n");
    EXPECT_EQ(mb->show(request(MbButtons::OkCancel, "送信中止", "x")), MbResult::Cancel);
    EXPECT_THROW(mb->show(request(MbButtons::Ok, "t", "no answer left")), platform::Error);
    EXPECT_EQ(slurp(log_),
              "終了確認\t終了\\r\\nして\\\\よい\tYes\n"
              "OrvaneLedgrin\t通知\tOk\n"
              "送信中止\tx\tCancel\n");
}

TEST_F(ScriptedMessageBox, AnAnswerThatTheBoxDoesNotOfferIsAnError) {
    auto mb = platform::make_qt_message_box("OrvaneLedgrin");
    // "Yes" for an OK box: a broken script must not pass for an answer.
    EXPECT_THROW(mb->show(request(MbButtons::Ok, "t", "x")), platform::Error);
    EXPECT_EQ(slurp(log_), "");
}

}  // namespace
