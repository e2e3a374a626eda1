#include "registration.h"

#include <QPushButton>
#include <cstdint>
#include <vector>

#include "common/http_client.h"
#include "common/state.h"
#include "common/text.h"
#include "common/windows.h"
#include "dialogs.h"
#include "frm_main.h"
#include "page_builder.h"
#include "platform/codec.h"
#include "platform/platform.h"
#include "registration_form.h"

namespace main_window {

using common::ignore_errors;

namespace {

const char* const kRegisterPassword = "quib";
// The failure dialog's own texts speak of signing in; a failure of the registration says so.
const char* const kNotRegisteredHeading = "次の理由により、登録されませんでした。";
const char* const kRegisterAgainInstruction =
    "登録をもう一度やり直す場合には［やり直し］ボタンを、中断してプログラムを終了するには［中断］"
    "ボタンをクリックしてください。";

// The form as it stands, after the sample fill where its kanji family name is empty. The
// fill is read back, so a field that did not take its sample value counts as it shows.
FormValues form_after_sample_fill(platform::BrowserPane& page) {
    FormValues form = read_form(page);
    if (!needs_sample_fill(form)) return form;
    for (const auto& [id, value] : kSampleValues) ignore_errors([&] { page.set_field(id, value); });
    return read_form(page);
}

void show_input_error(platform::BrowserPane& page, const InputError& error) {
    ignore_errors([&] {
        frmEntryMiss& dialog = entry_miss_dialog().get();
        common::set_text(dialog.lblErrMsg, error.message);
        dialog.show_modal();
    });
    if (error.focus) ignore_errors([&] { page.focus_field(*error.focus); });
}

// Shows the details and returns the candidate's answer: true for "登録".
bool confirmed(const std::string& kanji_name, const CandidateInfo& info) {
    auto& s = common::state();
    // Only an answer given in this dialog counts, never one left from an earlier showing.
    s.confirm_flag = false;
    ignore_errors([&] {
        frmUserInfo& dialog = user_info_dialog().get();
        const ConfirmationTexts t = confirmation_texts(kanji_name, info);
        common::set_text(dialog.lblName, t.lblName);
        common::set_text(dialog.lblSeibetu, t.lblSeibetu);
        common::set_text(dialog.lblWork, t.lblWork);
        common::set_text(dialog.lblBirthday, t.lblBirthday);
        common::set_text(dialog.lblEmail, t.lblEmail);
        common::set_text(dialog.lblZipcode, t.lblZipcode);
        common::set_text(dialog.lblAddress, t.lblAddress);
        common::set_text(dialog.lblAddress2, t.lblAddress2);
        common::set_text(dialog.lblTel, t.lblTel);
        dialog.show_modal();
    });
    return s.confirm_flag;
}

// The failure dialog with a reason; the heading and the instruction are set only when given.
void show_failure(const std::string& reason, const char* heading = nullptr, const char* instruction = nullptr) {
    ignore_errors([&] {
        frmShipai& dialog = shipai_dialog().get();
        if (heading) common::set_text(dialog.Label1, heading);
        common::set_text(dialog.Label2, reason);
        if (instruction) common::set_text(dialog.Label3, instruction);
        dialog.show_modal();
    });
}

// Sends the candidate to the examination server. False when the stage ends here.
bool registered(const Candidate& candidate) {
    auto& s = common::state();
    std::string query;
    // A value that cannot be encoded leaves the query empty; the server judges the bare address.
    ignore_errors([&] { query = registration_query({&candidate, s.register_password, s.exe_id}); });
    std::vector<uint8_t> body;
    int32_t count = 0;
    ignore_errors([&] { count = common::http_get(s.register_url + query, body); });
    if (count == 0) {
        show_failure("試験サーバの接続に失敗しました。インターネット環境の確認をお願いいたします。",
                     kNotRegisteredHeading, kRegisterAgainInstruction);
        return false;
    }
    std::string text;
    ignore_errors([&] { text = platform::cp932::decode(std::string(body.begin(), body.end())); });
    const RegistrationAnswer answer = read_answer(text);
    if (answer.kind == RegistrationAnswer::Kind::Refused) {
        show_failure(answer.reason);
        return false;
    }
    if (answer.result_id) s.result_id = *answer.result_id;
    if (answer.kind == RegistrationAnswer::Kind::Failed) {
        show_failure("受験者の登録に失敗しました。");
        platform::current().process->end_program();
    }
    if (answer.jid) s.jid = *answer.jid;
    return true;
}

void show_start_page(frmMain& form) {
    auto& s = common::state();
    platform::BrowserPane* page = form.wbMain.get();
    ignore_errors([&] { page->navigate("about:blank"); });
    ignore_errors([&] { page->refresh(); });
    ignore_errors([] { common::do_events(); });
    ignore_errors([&] { common::set_caption(form.Command1, "試験開始"); });
    s.screen_html[5] = common::replace_all(s.screen_html[5], "30分間", "40分間");
    ignore_errors([&] { page->write_document(s.screen_html[5]); });
    ignore_errors([] { common::do_events(); });
}

}  // namespace

void register_stage(frmMain& form) {
    auto& s = common::state();
    platform::BrowserPane& page = *form.wbMain;

    const Validation checked = validate(form_after_sample_fill(page));
    if (checked.error) {
        show_input_error(page, *checked.error);
        return;
    }
    // Only a pass over the whole form replaces the details of the last one.
    const Candidate& candidate = checked.candidate;
    common::main_values().strKanjiName = candidate.kanji_name;
    s.roma_family_name = candidate.roma_family_name;
    s.roma_given_name = candidate.roma_given_name;
    CandidateInfo& info = candidate_info();
    info = candidate.info;

    if (!confirmed(candidate.kanji_name, info)) return;

    s.register_password = kRegisterPassword;
    info.strZipCode = common::replace_all(info.strZipCode, "-", "");

    if (!s.rehearsal_mode) {
        Candidate sent = candidate;
        sent.info = info;
        if (!registered(sent)) return;
    }

    if (!build_question_pages()) {
        // Without its pages the examination cannot start: the start page is not shown.
        show_failure(kPageBuildFailedReason, kNotRegisteredHeading, kRegisterAgainInstruction);
        return;
    }
    show_start_page(form);
}

}  // namespace main_window
