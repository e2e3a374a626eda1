#pragma once
// A launcher on fakes: the platform of fakes, the launcher's state reset around each
// test, and an answerer that handles the modal dialogs the sign-in button opens.
#include <gtest/gtest.h>

#include <QObject>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/forms.h"
#include "common/text.h"
#include "launcher/frm_main.h"
#include "launcher/frm_shipai.h"
#include "launcher/frm_test_info.h"
#include "launcher/module1.h"
#include "launcher/startup.h"
#include "launcher/windows.h"
#include "support/fake_platform.h"

namespace launcher_test {

enum class Confirm { Continue, Redo };

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        launcher::reset_state();
        // Modal dialogs are answered from the loop that they run, as a candidate would.
        answerer_ = std::make_unique<QObject>();
        auto* timer = new QTimer(answerer_.get());
        timer->setInterval(2);
        QObject::connect(timer, &QTimer::timeout, [this] { answer_modal_dialogs(); });
        timer->start();
    }

    void TearDown() override {
        answerer_.reset();
        launcher::unload_all_forms();
        launcher::reset_state();
    }

    // Start-up; true when it ended the program.
    bool run_main() {
        try {
            launcher::Main();
        } catch (const fakes::ProgramEnded&) {
            return true;
        }
        return false;
    }

    launcher::frmMain& signed_in_window() {
        EXPECT_FALSE(run_main());
        return launcher::forms().main.get();
    }

    fakes::FakeBrowserPane& sign_in_page() { return *fp.browsers->panes.back(); }

    void fill(const std::string& id, const std::string& pass) {
        sign_in_page().add_text_field("ExamID", id);
        sign_in_page().add_text_field("ExamPass", pass);
    }

    // The sign-in button; true when it ended the program.
    bool click_sign_in() {
        try {
            launcher::forms().main.get().Command1_Click();
        } catch (const fakes::ProgramEnded&) {
            return true;
        }
        return false;
    }

    bool sign_in_enabled() { return launcher::forms().main.get().Command1->isEnabled(); }

    fakes::FakePlatform fp;
    Confirm confirm_answer = Confirm::Continue;
    // What the modal dialogs showed: "confirm <name>|<start>" and "failure <reason>".
    std::vector<std::string> modal_seen;
    // The sign-in button's state while each modal dialog was open.
    std::vector<bool> enabled_during_modal;
    // Runs with each modal dialog open, before it is answered.
    std::function<void(common::Form*)> before_answer;

private:
    static bool open_modal(QWidget* w) { return w && w->isVisible() && w->isModal(); }

    void answer_modal_dialogs() {
        if (auto* confirm = launcher::forms().test_info.peek(); open_modal(confirm)) {
            modal_seen.push_back("confirm " + common::text_of(confirm->lblShikenName) + "|" +
                                 common::text_of(confirm->lblStartTime));
            record_button();
            if (before_answer) before_answer(confirm);
            if (confirm_answer == Confirm::Continue)
                confirm->CancelButton_Click();
            else
                confirm->OKButton_Click();
        }
        if (auto* failure = launcher::forms().shipai.peek(); open_modal(failure)) {
            modal_seen.push_back("failure " + common::text_of(failure->Label2));
            record_button();
            if (before_answer) before_answer(failure);
            failure->Command1_Click();
        }
    }

    void record_button() {
        if (auto* m = launcher::forms().main.peek()) enabled_during_modal.push_back(m->Command1->isEnabled());
    }

    std::unique_ptr<QObject> answerer_;
};

}  // namespace launcher_test
