#pragma once
// The main window of the examination program: the notice page, the registration form and
// the start page in its browser pane, one button that walks through the stages, and after
// the examination the result page with its print button.
#include <cstdint>
#include <memory>
#include <string>

#include "common/forms.h"
#include "common/windows.h"
#include "platform/browser.h"
#include "platform/screen.h"

class QLabel;
class QPushButton;

namespace main_window {

class frmMain : public common::Form, public common::MainWindowApi {
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    std::unique_ptr<platform::BrowserPane> wbMain;
    QPushButton* Command1;
    QLabel* lblWaitMsg;
    QPushButton* cmdPrint;
    QPushButton* dummy;
    common::Timer* Timer1;

    // Desktop work area in pixels, as the last load found it.
    platform::Rect work_area;

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Activate() override;
    void Command1_Click();
    void cmdPrint_Click();
    void Timer1_Timer();

    // The caption of the stage button, as shown.
    std::string stage_caption() const;

    // What the end sequence needs of this window.
    platform::BrowserPane& main_browser() override;
    void set_stage_caption(const std::string& caption) override;
    void set_print_button_visible(bool visible) override;
    void show_topmost_at_origin() override;

private:
    void wait_ticks(int16_t ms);
    void show_load_failure();
    void stage_notice_read();
    void stage_exam_start();
    void stage_exam_end();

    // Set while a stage runs: a click that arrives meanwhile (through its do_events or
    // after its wait) is dropped instead of running a stage twice or the next one early.
    bool stage_running_ = false;
};

// The window's default instance.
common::DefaultInstance<frmMain>& main_form();

}  // namespace main_window
