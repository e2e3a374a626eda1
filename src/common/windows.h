#pragma once
// How the main window and the examination window reach each other without linking each
// other: each program's main wires these to its own forms (tests wire fakes).
#include <functional>
#include <string>

#include "platform/browser.h"

namespace common {

// What the end sequence needs of the main window.
class MainWindowApi {
public:
    virtual ~MainWindowApi() = default;
    virtual platform::BrowserPane& main_browser() = 0;
    virtual void set_stage_caption(const std::string& caption) = 0;
    virtual void set_print_button_visible(bool visible) = 0;
    // Places the window at the screen's origin, above every other window, and shows it.
    virtual void show_topmost_at_origin() = 0;
};

// What the main window's "試験開始" stage needs of the examination window.
class ExamWindowApi {
public:
    virtual ~ExamWindowApi() = default;
    virtual void show_modeless() = 0;
    // Question pane 1 to 3.
    virtual platform::BrowserPane& question_pane(int n) = 0;
    virtual bool unloaded() const = 0;
};

struct WindowDirectory {
    // Each loads its window when it is not loaded (a fresh load from design).
    std::function<MainWindowApi&()> main_window;
    std::function<ExamWindowApi&()> exam_window;
    // Start-up: creates the main window and shows it modeless.
    std::function<void()> show_main_window;
};

WindowDirectory& windows();

// Values of the main window's instance that outlive an unload of the window.
struct MainWindowValues {
    std::string strKanjiName;
    std::string test_start_time;
    bool printed_flag = false;
};

MainWindowValues& main_values();
void reset_main_values();

}  // namespace common
