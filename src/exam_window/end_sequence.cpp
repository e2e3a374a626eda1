// The end of the examination: marking, the result page, the upload, the result file and
// the hand-back to the main window.
#include "end_sequence.h"

#include <QLabel>
#include <QPushButton>
#include <string>
#include <vector>

#include "common/forms.h"
#include "common/message_boxes.h"
#include "common/result_upload.h"
#include "common/state.h"
#include "common/text.h"
#include "common/windows.h"
#include "frm_kaikei.h"
#include "marking.h"
#include "platform/platform.h"
#include "result_page.h"

namespace exam_window {

using common::CRLF;
using common::ignore_errors;
using platform::MbButtons;
using platform::MbIcon;
using platform::MbResult;
using common::box;
using common::show_box;

namespace {

// The fields of one element name, in one round trip. A pane that cannot be read gives no
// fields; the marking then treats every field as a failed read.
AnswerFields read_answers(platform::BrowserPane& pane, const std::string& name) {
    std::vector<std::string> values;
    ignore_errors([&] {
        const std::vector<platform::FieldLookup> found = pane.read_fields({name});
        if (found.empty()) return;
        for (const auto& e : found.front().elements) values.push_back(e.value);
    });
    return AnswerFields(std::move(values));
}

// Sends until the server accepts or the candidate gives up. A box that cannot be shown
// counts as the way out of the loop, so a broken box never turns into endless requests.
void upload(int16_t score, bool pass) {
    auto& p = platform::current();
    std::string reason;
    for (;;) {
        std::string sending_time;
        ignore_errors([&] { sending_time = common::format_seconds(p.clock->now()); });
        bool accepted = false;
        ignore_errors([&] { accepted = common::send_result(score, pass, sending_time, reason); });
        if (accepted) return;

        show_box(box(reason + CRLF + "試験監督をお呼びください。", "送信失敗", MbButtons::Ok, MbIcon::Warning,
                     MbResult::Ok, true),
                 MbResult::Ok);

        const MbResult retry = show_box(
            box(std::string("ネットワークを確認し、OKボタンを押してください。") + CRLF + "もう一度送信します。" + CRLF +
                    "何度リトライしてもだめな場合はVarnelセンターにお問い合わせください。" + CRLF +
                    "キャンセルをクリックすると送信を中止します。",
                "送信リトライ", MbButtons::OkCancel, MbIcon::Warning, MbResult::Ok, true),
            MbResult::Cancel);
        if (retry == MbResult::Ok) continue;

        const MbResult stop = show_box(box("本当に送信を中止してよろしいですか？", "送信中止", MbButtons::OkCancel,
                                           MbIcon::Warning, MbResult::Cancel, true),
                                       MbResult::Ok);
        if (stop == MbResult::Cancel) continue;

        // No title of its own: the title bar shows the program's.
        show_box(box(std::string("Varnelセンターに試験結果を通知してください。") + CRLF +
                         "結果を2枚印刷して記録してください。",
                     "", MbButtons::Ok, MbIcon::None, MbResult::Ok, true),
                 MbResult::Ok);
        return;
    }
}

// The result file is the only record the examination leaves on this machine: when it
// cannot be written, the candidate must call the invigilator before leaving. It goes into
// the folder start-up checked and held, whatever its path leads to by now.
void append_result_file(frmKaikei& form) {
    const std::shared_ptr<platform::HeldFolder> folder = common::state().result_folder;
    bool written = false;
    ignore_errors([&] {
        if (!folder) return;
        const std::string body = form.wbQuestion->body_outer_html();
        folder->append_cp932("result.txt", body);
        written = true;
    });
    if (written) return;
    show_box(box(std::string("試験結果をファイルに保存できませんでした。") + CRLF + "試験監督をお呼びください。",
                 "保存失敗", MbButtons::Ok, MbIcon::Warning, MbResult::Ok, true),
             MbResult::Ok);
}

common::MainWindowApi& main_window() { return common::windows().main_window(); }

}  // namespace

void end_syori(frmKaikei& form) {
    auto& s = common::state();
    if (s.exam_ended) return;
    s.exam_ended = true;

    ignore_errors([&] { s.exe_point = 0; });

    ignore_errors([&] { form.lblRemaining->hide(); });
    ignore_errors([&] { form.Command1->hide(); });
    ignore_errors([&] { form.lblWaitMsg->show(); });
    ignore_errors([&] { common::do_events(); });

    ignore_errors([&] { score_page1(read_answers(*form.wbQuestion, "answer"), s.answer_key, s.exam_score); });
    if (form.page_opened[1]) {
        ignore_errors([&] { form.wbQuestion2->set_visible(true); });
        ignore_errors([&] { score_page2(read_answers(*form.wbQuestion2, "answer3"), s.answer_key, s.exam_score); });
    }
    // A failed read or an overflow ends the question-4 routine with its points kept.
    if (form.page_opened[2])
        ignore_errors([&] { score_q4(s.q4_group, read_answers(*form.wbQuestion3, "answer4"), s.exam_score); });

    ResultPage page;
    ignore_errors([&] {
        const common::MainWindowValues& main = common::main_values();
        page = build_result_page(s.screen_html[6], ResultPageValues{main.strKanjiName, s.test_center, s.test_name,
                                                                    main.test_start_time, s.exe_point, s.data_path});
    });
    form.result_html = page.html;
    s.exam_score = page.score;

    // The record does not depend on the upload, and an upload may keep the candidate at its
    // boxes for long: it is on disk first, so no end of the program can lose it.
    append_result_file(form);
    if (!s.rehearsal_mode) upload(s.exam_score, page.pass);
    ignore_errors([&] { common::do_events(); });

    ignore_errors([&] { main_window().main_browser().navigate("about:blank"); });
    ignore_errors([&] { common::do_events(); });
    ignore_errors([&] { main_window().main_browser().refresh(); });
    ignore_errors([&] { common::do_events(); });
    ignore_errors([&] { main_window().set_stage_caption("試験終了"); });
    ignore_errors([&] { main_window().set_print_button_visible(true); });
    ignore_errors([&] { main_window().main_browser().write_document(form.result_html); });
    ignore_errors([&] { common::do_events(); });
    ignore_errors([&] { main_window().show_topmost_at_origin(); });

    ignore_errors([&] {
        if (kaikei().peek() == &form) kaikei().unload();
    });
}

}  // namespace exam_window
