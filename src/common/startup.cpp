#include "startup.h"

#include "folders.h"
#include "forms.h"
#include "message_boxes.h"
#include "platform/platform.h"
#include "state.h"
#include "test_definition.h"
#include "text.h"
#include "windows.h"

namespace common {

void end_after_box(const platform::MessageBoxSpec& request) {
    auto& p = platform::current();
    p.message_box->show(request);
    p.process->end_program();
}

void refuse_second_instance() {
    end_after_box(box(std::string("すでに試験プログラムは起動されています。") + CRLF + "同時に実行することは出来ません。",
                      "2重起動エラー", platform::MbButtons::Ok, platform::MbIcon::Warning, platform::MbResult::Ok,
                      true));
}

void refuse_screen() {
    end_after_box(box(std::string("DPI設定が通常の大きさとは違っています。") + CRLF + CRLF +
                          "画面のプロパティで通常の大きさに戻してから実行してください。" + CRLF + CRLF +
                          "プログラムを終了します。",
                      "画面設定エラー", platform::MbButtons::Ok, platform::MbIcon::Warning, platform::MbResult::Ok,
                      false));
}

void refuse_unusable_lock(const std::string& path, const std::string& reason) {
    end_after_box(box(std::string("2重起動を確認するファイルを使用できません。") + CRLF + path + CRLF + reason + CRLF +
                          CRLF + "試験監督者に連絡してください。" + CRLF + "プログラムを終了します。",
                      "起動確認エラー", platform::MbButtons::Ok, platform::MbIcon::Warning, platform::MbResult::Ok,
                      true));
}

void take_instance_lock(const std::string& program) {
    const platform::InstanceLock::Attempt attempt = platform::current().lock->acquire(program);
    switch (attempt.outcome) {
        case platform::InstanceLock::Outcome::Taken: return;
        case platform::InstanceLock::Outcome::HeldByAnother: refuse_second_instance(); return;
        case platform::InstanceLock::Outcome::Unusable: refuse_unusable_lock(attempt.path, attempt.reason); return;
    }
}

bool screen_is_96_dpi() {
    auto& screen = *platform::current().screen;
    return screen.twips_per_pixel_x() == 15.0 && screen.twips_per_pixel_y() == 15.0;
}

void Main(const std::string& argument_string) {
    auto& p = platform::current();
    Module1& s = state();

    const std::string line = argument_string.empty() ? rehearsal_definition(p.clock->now()) : argument_string;
    s.test_definition = split(line, ",");
    s.main_loaded = false;

    take_instance_lock("ledgrin");
    if (!screen_is_96_dpi()) refuse_screen();

    s.register_url = read_server_setting("register");
    if (s.register_url.empty()) s.register_url = kDefaultRegisterUrl;
    s.result_url = read_server_setting("result");
    if (s.result_url.empty()) s.result_url = kDefaultResultUrl;

    s.user_agent = kUserAgent;
    s.db_password = kDbPassword;

    s.app_path = with_trailing_slash(p.system->program_folder());
    s.data_path = s.app_path + "data/";

    // The scratch folder only holds what is thrown away at the end; the last stage
    // creates it again, so a failure here costs nothing.
    try {
        s.scratch_path = get_scratch_folder();
    } catch (const platform::Error&) {
        s.scratch_path = with_trailing_slash(p.system->temp_path()) + "solvetta/";
    }

    // The result folder holds the only record of the examination: without a folder we
    // can write to, the candidate would sit the whole examination for nothing.
    // It is held open from here on: the record goes into the folder checked now.
    std::string result_folder = with_trailing_slash(p.system->temp_path()) + "bramwick_result/";
    std::shared_ptr<platform::HeldFolder> held;
    try {
        result_folder = get_result_folder();
        held = p.files->hold_trusted_folder(result_folder);
    } catch (const platform::Error&) {
        held = nullptr;
    }
    if (!held) {
        end_after_box(box(std::string("試験結果を保存するフォルダを使用できません。") + CRLF + result_folder + CRLF +
                              CRLF + "試験監督者に連絡してください。" + CRLF + "プログラムを終了します。",
                          "結果フォルダエラー", platform::MbButtons::Ok, platform::MbIcon::Warning,
                          platform::MbResult::Ok, true));
    }
    s.result_path = result_folder;
    s.result_folder = held;

    if (windows().show_main_window) windows().show_main_window();
    do_events();
}

}  // namespace common
