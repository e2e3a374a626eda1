#include "frm_main.h"

#include <QLabel>
#include <algorithm>
#include <QPushButton>

#include "common/folders.h"
#include "common/japanese.h"
#include "common/text.h"
#include "download.h"
#include "frm_shipai.h"
#include "frm_test_info.h"
#include "module1.h"
#include "platform/platform.h"
#include "windows.h"

namespace launcher {

namespace {
constexpr double kButtonWidth = 2295, kButtonHeight = 675;
constexpr double kWaitWidth = 3795, kWaitHeight = 495;
constexpr int kMaxValueLength = 10;
}  // namespace

frmMain::frmMain() {
    // No caption and no control box: no title bar at all.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    set_control_box(false);
    set_show_in_taskbar(false);
    common::set_background(this, common::rgb(0xC0, 0xC0, 0xC0));

    wbMain = platform::current().browsers->create(this, state().data_path);
    Command1 = common::make_button(this, "ログイン", 0, 0, kButtonWidth, kButtonHeight, common::pgothic(18));
    lblWaitMsg = common::make_label(this, "しばらくお待ちください...", 0, 0, kWaitWidth, kWaitHeight, common::pgothic(18));
    lblWaitMsg->setVisible(false);
    Command1->setFocus();

    on_click(Command1, this, "Command1_Click", [this] { Command1_Click(); });
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    work_area = common::get_work_area();
    auto& screen = *platform::current().screen;
    set_Height(screen.twips_per_pixel_y() * (work_area.bottom - work_area.top));
    set_Left(0);
    set_Top(0);
    set_Width(screen.twips_per_pixel_x() * (work_area.right - work_area.left));
    // The window comes up while its page loads. A page that cannot be shown leaves an
    // empty pane: its fields then read as empty and the button answers with the failure
    // dialog instead of the window never appearing.
    common::run_handler("Form_Load", [this] { wbMain->start_navigate(state().data_path + "index.html"); });
}

void frmMain::Form_Resize() {
    common::ignore_errors([this] {
        wbMain->set_geometry(0, 0, common::twips_to_px(ScaleWidth()), common::twips_to_px(Height() - 1000));
    });
    // Measured from the outer size: under a window manager that framed the window anyway,
    // they come up into the client area as far as it takes.
    common::ignore_errors([this] {
        common::place(Command1, (Width() - kButtonWidth) / 2, Height() - 850, kButtonWidth, kButtonHeight);
        common::move_inside(Command1, Command1->x(), Command1->y());
    });
    common::ignore_errors([this] {
        common::place(lblWaitMsg, 160, Height() - 1220, kWaitWidth, kWaitHeight);
        common::move_inside(lblWaitMsg, lblWaitMsg->x(), lblWaitMsg->y());
    });
    common::ignore_errors([this] {
        if (wbMain->top() + wbMain->height() > Command1->y())
            wbMain->set_geometry(wbMain->left(), wbMain->top(), wbMain->width(), std::max(0, Command1->y() - wbMain->top()));
    });
}

void frmMain::Form_Activate() {
    common::ignore_errors([] { reset_mouse_pointer(); });
    common::ignore_errors([this] { unsetCursor(); });
}

void frmMain::fail_modal(const std::string& reason) {
    frmShipai& dialog = forms().shipai.get();
    common::set_text(dialog.Label2, reason);
    reset_mouse_pointer();
    dialog.show_modal_above_owner();
}

void frmMain::Command1_Click() {
    auto& p = platform::current();
    Module1& s = state();

    Command1->setEnabled(false);
    reset_mouse_pointer();

    // A page without the fields, or one that cannot be read at all, counts as empty fields.
    std::string exam_id, exam_pass;
    try {
        const auto fields = wbMain->read_fields({"ExamID", "ExamPass"});
        exam_id = fields.at(0).first_value();
        exam_pass = fields.at(1).first_value();
    } catch (const std::exception&) {
        exam_id.clear();
        exam_pass.clear();
    }
    if (exam_id.empty() || exam_pass.empty()) {
        forms().shipai.get().show_modeless_above_owner();
        return;
    }

    exam_id = common::to_narrow(exam_id);
    exam_pass = common::to_narrow(exam_pass);
    if (common::len(exam_id) > kMaxValueLength || common::len(exam_pass) > kMaxValueLength) {
        fail_modal(kReasonTooLong);
        return;
    }

    const TestDefinition definition = parse_test_definition(test_definition_line);
    frmTestInfo& confirm = forms().test_info.get();
    common::set_text(confirm.lblShikenName, definition.name);
    common::set_text(confirm.lblStartTime, definition.start_time);
    reset_mouse_pointer();
    confirm.show_modal_above_owner();
    if (!s.confirm_flag) p.process->end_program();

    const DispatchRow* row = find_dispatch_row(definition.kind);
    if (!row) {
        frmShipai& dialog = forms().shipai.get();
        common::set_text(dialog.Label2, kReasonUnknownKind);
        reset_mouse_pointer();
        dialog.show_modeless_above_owner();
        return;
    }

    if (!row->document) {
        start_and_end(s.data_path + row->program_file);
        return;
    }

    // A failed download has shown its modal failure dialog: "修正" leads back to the sign-in.
    if (row->needs_library && !p.files->file_exists(s.program_path + kLibraryFile)) {
        if (!file_download(kLibraryFile, kLibraryFile)) return;
    }
    const std::string program = s.program_path + row->program_file;
    if (p.files->file_exists(program)) file_delete(program);
    if (!file_download(row->document, row->program_file)) return;
    if (row->events_before_start) common::do_events();
    start_downloaded_and_end(s.downloaded);
}

void frmMain::start_and_end(const std::string& program_file) {
    // Started from an argument vector, not a command line: a blank in the installation
    // path can never turn into an argument, so the program always finds none.
    started_or_failed(platform::current().process->start(program_file));
}

void frmMain::start_downloaded_and_end(const std::shared_ptr<platform::HeldFile>& program) {
    if (!program || !program->still_in_place()) {
        fail_modal(kReasonNotStored);
        return;
    }
    started_or_failed(platform::current().process->start_held(*program));
}

void frmMain::started_or_failed(bool started) {
    if (!started) {
        fail_modal(kReasonNotStarted);
        return;
    }
    platform::current().process->end_program();
}

void frmMain::file_delete(const std::string& taget) { download::file_delete(taget); }

bool frmMain::file_download(const std::string& document, const std::string& program_file) {
    return download::file_download(document, program_file);
}

bool frmMain::file_download_temp(const std::string& document, const std::string& program_file) {
    return download::file_download_temp(document, program_file);
}

void frmMain::wait_ticks_with_events(int16_t ms) { download::wait_ticks_with_events(ms); }

}  // namespace launcher
