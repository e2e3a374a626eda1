#pragma once
// The examination window on a platform of fakes. The end sequence is replaced by a recorder
// that, like the real one, marks the examination ended and unloads the window.
#include <gtest/gtest.h>

#include <QEvent>
#include <QObject>
#include <QPushButton>
#include <functional>
#include <string>
#include <vector>

#include "common/forms.h"
#include "common/state.h"
#include "exam_window/frm_kaikei.h"
#include "support/fake_platform.h"

namespace exam_test {

// One log for the desktop's topmost calls and the end button's enable changes, so that
// their order can be compared.
class LoggingDesktop : public fakes::FakeDesktop {
public:
    void set_topmost(QWidget* window, bool on) override {
        fakes::FakeDesktop::set_topmost(window, on);
        if (on_topmost) on_topmost(on);
    }
    std::function<void(bool)> on_topmost;
};

class EnableWatcher : public QObject {
public:
    std::function<void(bool)> on_change;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::EnabledChange && on_change)
            on_change(static_cast<QWidget*>(watched)->isEnabled());
        return false;
    }
};

class ExamWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto logging = std::make_unique<LoggingDesktop>();
        desktop = logging.get();
        fp.platform.desktop = std::move(logging);
        common::reset_state();
        common::state().data_path = fp.system->program + "data/";
        fp.clock->tick = kLoadTick;
    }

    void TearDown() override {
        if (exam_window::kaikei().loaded()) exam_window::kaikei().unload();
        common::flush_unloads();
        common::reset_state();
    }

    exam_window::frmKaikei& load() {
        exam_window::frmKaikei& f = exam_window::kaikei().get();
        f.end_sequence = [this](exam_window::frmKaikei& form) {
            ++end_calls;
            if (during_end) during_end(form);
            common::state().exam_ended = true;
            exam_window::kaikei().unload();
        };
        return f;
    }

    // Starts the combined log of topmost calls, enable changes and the end sequence, each
    // with the state of the end button and the countdown at that moment.
    void watch_order(exam_window::frmKaikei& f) {
        auto snapshot = [&f] {
            return std::string(" button=") + (f.Command1->isEnabled() ? "on" : "off") +
                   " timer=" + (f.Timer1->Enabled() ? "on" : "off");
        };
        desktop->on_topmost = [this, snapshot](bool on) {
            order.push_back(std::string(on ? "topmost on" : "topmost off") + snapshot());
        };
        watcher.on_change = [this, &f](bool enabled) {
            order.push_back(std::string(enabled ? "enabled" : "disabled") + " timer=" +
                            (f.Timer1->Enabled() ? "on" : "off"));
        };
        f.Command1->installEventFilter(&watcher);
        during_end = [this, snapshot](exam_window::frmKaikei& form) {
            order.push_back("end" + snapshot() + " block_unload=" + (form.block_unload ? "true" : "false"));
        };
    }

    std::vector<std::string> topmost_calls() const {
        std::vector<std::string> out;
        for (const auto& c : desktop->calls)
            if (c.rfind("topmost", 0) == 0) out.push_back(c);
        return out;
    }

    static fakes::FakeBrowserPane& pane(exam_window::frmKaikei& f, int n) {
        return static_cast<fakes::FakeBrowserPane&>(f.question_pane(n));
    }

    static constexpr uint32_t kLoadTick = 100000;

    fakes::FakePlatform fp;
    LoggingDesktop* desktop = nullptr;
    EnableWatcher watcher;
    int end_calls = 0;
    std::function<void(exam_window::frmKaikei&)> during_end;
    std::vector<std::string> order;
};

}  // namespace exam_test
