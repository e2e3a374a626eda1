#include "frm_main.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <optional>

#include "common/folders.h"
#include "common/message_boxes.h"
#include "common/state.h"
#include "common/test_definition.h"
#include "common/text.h"
#include "dialogs.h"
#include "platform/platform.h"
#include "registration.h"

namespace main_window {

using common::ignore_errors;
using common::twips_to_px;

namespace {

const char* const kLoadFailure =
    "データファイルの取得に失敗しました。インターネット環境の確認をお願いいたします。";

// Windows of other programs that may not stay open beside the examination; each class
// stands for its kind of program (platform/program_kinds.h).
struct WatchedWindow {
    const char* window_class;
    const char* title;  // null: any title
};
constexpr std::array<WatchedWindow, 9> kWatched{{
    {"IEFrame", nullptr},
    {"XLMAIN", nullptr},
    {"OpusApp", nullptr},
    {"OMain", nullptr},
    {"rctrl_renwnd32", nullptr},
    {"Outlook Express Browser Class", nullptr},
    {"CabinetWClass", "OrvaneBramwick"},
    {"CabinetWClass", "bramwick"},
    {"CabinetWClass", "bramwick_result"},
}};

// A size below zero is refused, so the statement setting it has no effect.
int size_px(double twips) {
    if (twips < 0) throw platform::Error("negative size");
    return twips_to_px(twips);
}

// The six pages of the page database, slot 1 to 6; nothing when the database cannot be
// opened or read or holds fewer than six pages.
std::optional<std::array<std::string, 7>> read_pages() {
    auto& p = platform::current();
    const auto& s = common::state();
    try {
        auto db = p.database->open(s.data_path + "qfile.dat", s.db_password);
        const auto rows = db->query("select * from gamen order by id asc");
        if (rows.size() < 6) return std::nullopt;
        std::array<std::string, 7> pages;
        for (size_t slot = 1; slot <= 6; ++slot) pages[slot] = rows[slot - 1].field("gamen").value_or("");
        return pages;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

frmMain::frmMain() {
    set_caption("OrvaneBramwick　模擬システム");
    common::set_background(this, common::rgb(192, 192, 192));

    wbMain = platform::current().browsers->create(this, common::state().data_path);
    wbMain->set_geometry(twips_to_px(15), twips_to_px(30), 0, 0);

    Command1 = common::make_button(this, "ログイン", 0, 0, 2295, 675, common::pgothic(18));
    lblWaitMsg = common::make_label(this, "しばらくお待ちください...", 0, 0, 3795, 495, common::pgothic(18));
    lblWaitMsg->setWordWrap(false);
    common::set_background(lblWaitMsg, common::rgb(192, 192, 192));
    lblWaitMsg->hide();
    cmdPrint = common::make_button(this, "結果印刷", 0, 0, 1695, 615, common::pgothic(14.25, true));
    common::set_background(cmdPrint, common::rgb(255, 192, 192));
    cmdPrint->hide();
    // Takes the focus so that no key stroke reaches the stage button by accident.
    dummy = common::make_button(this, "Command2", 3840, -2000, 1335, 735, font());

    if (QWidget* pane = wbMain->widget()) setTabOrder(pane, Command1);
    setTabOrder(Command1, lblWaitMsg);
    setTabOrder(lblWaitMsg, cmdPrint);
    setTabOrder(cmdPrint, dummy);

    common::connect_click(Command1, "Command1_Click", [this] { Command1_Click(); });
    common::connect_click(cmdPrint, "cmdPrint_Click", [this] { cmdPrint_Click(); });
    Timer1 = new common::Timer(this, "Timer1_Timer", 10, true, [this] { Timer1_Timer(); });
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    auto& p = platform::current();
    auto& s = common::state();

    work_area = common::get_work_area();
    set_Height((work_area.bottom - work_area.top) * p.screen->twips_per_pixel_y());
    set_Left(-30);
    set_Top(0);
    set_Width((work_area.right - work_area.left) * p.screen->twips_per_pixel_x() / 2.3);

    if (!s.main_loaded) {
        common::take_test_definition_fields();
        common::main_values().test_start_time = common::format_minutes(p.clock->now());

        const auto pages = read_pages();
        if (!pages) {
            show_load_failure();
            return;
        }
        for (size_t slot = 1; slot <= 6; ++slot) s.screen_html[slot] = (*pages)[slot];

        // The pages are all read by now: a browser that fails here leaves an empty pane,
        // not a program that ends before the candidate sees anything. The window comes
        // up while the notice page loads.
        ignore_errors([&] { wbMain->start_navigate("about:blank"); });
        ignore_errors([] { common::do_events(); });
        ignore_errors([&] { wbMain->start_write_document(s.screen_html[2]); });
        common::set_caption(Command1, "了解");
    }
    set_caption("OrvaneLedgrin　試験システム ≪体験プログラム≫");
    s.main_loaded = true;
}

void frmMain::show_load_failure() {
    frmShipai& dialog = shipai_dialog().get();
    common::set_text(dialog.Label2, kLoadFailure);
    dialog.show_modal();
}

void frmMain::Form_Resize() {
    const double outer_height = Height();
    const double outer_width = Width();
    platform::BrowserPane* pane = wbMain.get();
    ignore_errors([&] {
        pane->set_geometry(pane->left(), pane->top(), size_px(ScaleWidth()), pane->height());
    });
    ignore_errors([&] {
        pane->set_geometry(pane->left(), pane->top(), pane->width(), size_px(outer_height - 1500));
    });
    // Measured from the outer height, the controls stand in the client area as designed
    // under a frame up to the design's; a taller title bar would cut them, and they come
    // up as far as it takes, the page ending above them.
    using common::move_inside;
    ignore_errors([&] { move_inside(Command1, Command1->x(), twips_to_px(outer_height - 1320)); });
    ignore_errors([&] { move_inside(Command1, twips_to_px(outer_width - 2600), Command1->y()); });
    ignore_errors([&] { move_inside(cmdPrint, cmdPrint->x(), twips_to_px(outer_height - 1320)); });
    ignore_errors([&] { move_inside(cmdPrint, twips_to_px(160), cmdPrint->y()); });
    ignore_errors([&] { move_inside(lblWaitMsg, lblWaitMsg->x(), twips_to_px(outer_height - 1220)); });
    ignore_errors([&] { move_inside(lblWaitMsg, twips_to_px(160), lblWaitMsg->y()); });
    ignore_errors([&] { dummy->move(dummy->x(), twips_to_px(-2000)); });
    ignore_errors([&] {
        const int controls_top = std::min({Command1->y(), cmdPrint->y(), lblWaitMsg->y()});
        if (pane->top() + pane->height() > controls_top)
            pane->set_geometry(pane->left(), pane->top(), pane->width(), std::max(0, controls_top - pane->top()));
    });
}

void frmMain::Form_Activate() {
    ignore_errors([&] { dummy->setFocus(); });
}

std::string frmMain::stage_caption() const { return common::caption_of(Command1); }

void frmMain::Command1_Click() {
    if (stage_running_) return;
    // The window may have been unloaded by the stage; it is destroyed only after this
    // handler has returned, so the flag can still be put back.
    common::FlagScope running(stage_running_);

    const std::string stage = stage_caption();
    if (stage == "了解") {
        stage_notice_read();
    } else if (stage == "登録") {
        ignore_errors([&] { register_stage(*this); });
    } else if (stage == "試験開始") {
        stage_exam_start();
    } else if (stage == "試験終了") {
        stage_exam_end();
    }
}

void frmMain::stage_notice_read() {
    platform::BrowserPane* pane = wbMain.get();
    ignore_errors([&] { pane->navigate("about:blank"); });
    ignore_errors([&] { pane->refresh(); });
    ignore_errors([] { common::do_events(); });
    common::set_caption(Command1, "登録");
    ignore_errors([&] { pane->write_document(common::state().screen_html[3]); });
    ignore_errors([] { common::do_events(); });
    ignore_errors([&] { pane->focus_field("KanjiFamilyName"); });
    ignore_errors([] { common::do_events(); });
}

void frmMain::stage_exam_start() {
    auto& s = common::state();
    ignore_errors([&] { lblWaitMsg->show(); });
    ignore_errors([] { common::do_events(); });
    ignore_errors([&] { wait_ticks(3000); });
    ignore_errors([&] { Timer1->set_Enabled(false); });
    s.exam_ended = false;

    common::ExamWindowApi* exam = nullptr;
    ignore_errors([&] { exam = &common::windows().exam_window(); });
    auto pane = [&](int n) -> platform::BrowserPane& {
        if (!exam) throw platform::Error("no examination window");
        return exam->question_pane(n);
    };
    ignore_errors([&] {
        if (!exam) throw platform::Error("no examination window");
        exam->show_modeless();
    });
    const std::array<std::pair<int, const char*>, 2> later_pages{{{2, "index2.html"}, {3, "index3.html"}}};
    for (const auto& [n, file] : later_pages) {
        ignore_errors([&] {
            auto& q = pane(n);
            q.set_geometry(0, q.top(), q.width(), q.height());
        });
        ignore_errors([] { common::do_events(); });
        ignore_errors([&] { pane(n).navigate(s.data_path + file); });
        ignore_errors([] { common::do_events(); });
        ignore_errors([&] { pane(n).set_visible(false); });
    }
    ignore_errors([&] { lblWaitMsg->hide(); });
    main_form().unload();
}

void frmMain::stage_exam_end() {
    auto& p = platform::current();
    const auto& s = common::state();
    if (!common::main_values().printed_flag) {
        const platform::MbResult answer = common::show_box(
            common::box(std::string("まだ試験結果が印刷されていませんが") + common::CRLF + "終了してよろしいですか。" +
                            common::CRLF + common::CRLF + "終了すると試験結果は印刷できません。",
                        "終了確認", platform::MbButtons::YesNo, platform::MbIcon::Warning, platform::MbResult::No,
                        false),
            platform::MbResult::No);
        if (answer != platform::MbResult::Yes) return;
    }

    // An empty folder name would turn the patterns below into the current folder's files.
    if (!s.scratch_path.empty()) {
        bool exists = false;
        ignore_errors([&] { exists = p.files->folder_exists(s.scratch_path); });
        if (!exists) ignore_errors([&] { p.files->create_folder(s.scratch_path); });
        // Emptied through the folder start-up checked and held, whatever its path leads to
        // now. Without one, the folder is checked now and emptied through that check: one
        // that another user made, that others may write, or that is a link elsewhere is
        // not ours to empty.
        std::shared_ptr<platform::HeldFolder> folder = s.scratch_folder;
        if (!folder) ignore_errors([&] { folder = p.files->hold_trusted_folder(s.scratch_path); });
        if (folder) ignore_errors([&] { folder->delete_files("*.*"); });
    }
    if (!s.data_path.empty()) {
        ignore_errors([&] { p.files->delete_files(s.data_path + "index*.html"); });
    }
    main_form().unload();
    p.process->end_program();
}

void frmMain::cmdPrint_Click() {
    cmdPrint->setEnabled(false);
    const platform::MbResult answer = common::show_box(
        common::box(std::string("試験結果を印刷します。") + common::CRLF + common::CRLF + "よろしいですか", "結果印刷",
                    platform::MbButtons::YesNo, platform::MbIcon::Warning, platform::MbResult::No, false),
        platform::MbResult::No);
    if (answer != platform::MbResult::Yes) {
        ignore_errors([&] { cmdPrint->setEnabled(true); });
        return;
    }
    // Only a print that was sent counts: after a cancel or a failure the candidate keeps
    // the warning at the end and can try again.
    platform::PrintResult result = platform::PrintResult::Failed;
    ignore_errors([&] { result = wbMain->print(); });
    if (result == platform::PrintResult::Printed) common::main_values().printed_flag = true;
    ignore_errors([&] { cmdPrint->setEnabled(true); });
}

void frmMain::Timer1_Timer() {
    auto& desktop = *platform::current().desktop;
    for (const auto& w : kWatched) {
        const std::optional<std::string> title = w.title ? std::optional<std::string>(w.title) : std::nullopt;
        // A window asked a moment ago is given time to answer: the lookup passes over it.
        const platform::WindowId id = desktop.find_window_to_close(w.window_class, title);
        if (id != 0) desktop.request_close(id);
    }
}

void frmMain::wait_ticks(int16_t ms) { common::wait_ticks(ms); }

platform::BrowserPane& frmMain::main_browser() { return *wbMain; }

void frmMain::set_stage_caption(const std::string& caption) { common::set_caption(Command1, caption); }

void frmMain::set_print_button_visible(bool visible) { cmdPrint->setVisible(visible); }

void frmMain::show_topmost_at_origin() {
    platform::current().desktop->set_topmost(this, true);
    set_Left(0);
    set_Top(0);
    show_modeless();
}

common::DefaultInstance<frmMain>& main_form() {
    static common::DefaultInstance<frmMain> instance;
    return instance;
}

}  // namespace main_window
