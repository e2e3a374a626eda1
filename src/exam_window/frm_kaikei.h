#pragma once
// The examination window: three question panes behind three tabs, the remaining time, the
// end button, and a watchdog that closes the programs the candidate must not use.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/forms.h"
#include "common/windows.h"
#include "platform/browser.h"
#include "platform/screen.h"

class QLabel;
class QPushButton;

namespace exam_window {

// Colour of the chosen tab; the others have the system's button face.
inline QColor chosen_tab_colour() { return QColor(255, 128, 128); }
QColor button_face_colour();

class frmKaikei : public common::Form, public common::ExamWindowApi {
public:
    frmKaikei();
    ~frmKaikei() override;

    // --- controls ---
    std::array<QPushButton*, 3> cmdMondai{};
    QPushButton* Command1 = nullptr;  // the end button
    QLabel* lblRemaining = nullptr;
    QLabel* lblWaitMsg = nullptr;
    std::unique_ptr<platform::BrowserPane> wbQuestion;
    std::unique_ptr<platform::BrowserPane> wbQuestion2;
    std::unique_ptr<platform::BrowserPane> wbQuestion3;
    common::Timer* Timer1 = nullptr;  // countdown
    common::Timer* Timer2 = nullptr;  // watchdog
    common::Timer* Timer3 = nullptr;  // overtime display; nothing switches it on

    // --- fields of the window ---
    int16_t remaining_sec = 0;
    uint32_t start_tick = 0;   // 0: not taken yet
    uint32_t timeup_tick = 0;  // 0: the time has not been up yet
    bool block_unload = false;
    // Set when the end sequence is entered. From then on only the sequence itself may unload
    // the window: a close from outside half way would lose the result.
    bool end_sequence_entered = false;
    platform::Rect work_area{};
    int16_t pane_margin = 0;  // part of the window height not given to a pane
    int16_t font_size = 0;
    int32_t overtime_sec = 0;
    int16_t current_tab = 0;
    std::array<bool, 3> page_opened{};
    uint32_t word_hwnd = 0;
    std::string result_html;  // the result page while the end sequence builds it
    // How the examination is ended: the end sequence, unless a test puts a recorder here.
    std::function<void(frmKaikei&)> end_sequence;

    // --- event handlers (public so that tests can call them as the loop would) ---
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Activate() override;
    // Cancel is set while the window must stay.
    void Form_Unload(bool& cancel);
    void cmdMondai_Click(int16_t index);
    void Command1_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

    // The window's own busy wait: nothing is dispatched meanwhile.
    void wait_ticks(int32_t ms);

    // --- accessories for working beside a word processor; nothing in the program calls them ---
    // One step smaller or larger text on the first question page, within 9 to 40.
    void change_font_size(bool smaller);
    // Shares the work area with the word processor's window: 0 examination above, 1 below,
    // 2 left, 3 right, 4 both full size; any other value places nothing.
    void arrange_with_word(int16_t layout);
    void show_calculator();

    // --- what the main window's start stage needs ---
    void show_modeless() override;
    platform::BrowserPane& question_pane(int n) override;
    bool unloaded() const override;

protected:
    bool Form_QueryUnload() override;

private:
    // Lets pending events run; false when the window was unloaded meanwhile (the end
    // sequence may run inside), and then the caller must stop at once.
    bool events_keep_window();
    void place_tabs();
    void set_topmost(bool on);
    // Runs the end sequence after the countdown has been stopped.
    void enter_end_sequence();

    bool in_resize_ = false;
    // Kept above all others: the candidate works in the window and no question of its own
    // is open. A window manager that hides it meanwhile ("show desktop", a minimise) sees
    // it shown again at once.
    bool topmost_ = false;
    // While arrange_with_word places the window, a size change must not fit it back to the
    // whole work area.
    bool arranging_ = false;
};

// The window's default instance: created and loaded on first use, fresh after an unload.
common::DefaultInstance<frmKaikei>& kaikei();

}  // namespace exam_window
