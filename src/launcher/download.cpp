#include "download.h"

#include <QLabel>
#include <exception>
#include <functional>
#include <vector>

#include "common/folders.h"
#include "common/forms.h"
#include "common/http_client.h"
#include "frm_shipai.h"
#include "module1.h"
#include "platform/platform.h"
#include "windows.h"

namespace launcher::download {

namespace {

void fail_modal(const std::string& reason) {
    frmShipai& dialog = forms().shipai.get();
    common::set_text(dialog.Label2, reason);
    reset_mouse_pointer();
    dialog.show_modal_above_owner();
}

bool fetch_into(const std::string& document, const std::string& program_file,
                const std::function<std::string()>& folder) {
    Module1& s = state();
    s.downloaded = nullptr;
    std::vector<uint8_t> answer;
    int32_t count = 0;
    long status = 0;
    try {
        count = common::http_get_program(s.download_url + document, answer, s.user_agent, status);
    } catch (const std::exception&) {
        // A request that fails outright gets the same way back as one that got no answer,
        // instead of leaving the sign-in button disabled with no dialog to enable it again.
        count = 0;
    }
    // What is stored here is started next: an error page the server sent instead of the
    // program is no program, and counts as no answer.
    const bool success = status >= 200 && status <= 299;
    if (count <= 0 || !success) {
        fail_modal(kReasonNoConnection);
        return false;
    }

    // Whatever step of storing fails, the outcome is the one failure dialog.
    try {
        const std::string where = folder();
        // What is stored here is started next: never in a folder someone else could have
        // planted or could swap the file in, and only through the very folder checked.
        const auto held = platform::current().files->hold_trusted_folder(where);
        if (!held) throw platform::Error("folder not trusted: " + where);
        s.downloaded = held->write_file(program_file, std::string(answer.begin(), answer.begin() + count), true);
    } catch (const std::exception&) {
        fail_modal(kReasonNotStored);
        return false;
    }
    return true;
}

}  // namespace

bool file_download(const std::string& document, const std::string& program_file) {
    return fetch_into(document, program_file, [] { return state().program_path; });
}

bool file_download_temp(const std::string& document, const std::string& program_file) {
    return fetch_into(document, program_file, [] { return common::get_work_folder(); });
}

void file_delete(const std::string& taget) {
    common::ignore_errors([&] { platform::current().files->delete_files(taget); });
}

void wait_ticks_with_events(int16_t ms) {
    if (ms < 0) return;
    auto& clock = *platform::current().clock;
    const uint32_t start = clock.tick_count();
    // The unsigned difference, so neither a wrap of the tick count nor its crossing into
    // the negative half can make the wait end early or never.
    while (platform::elapsed_ms(start, clock.tick_count()) <= static_cast<uint32_t>(ms)) common::do_events();
}

}  // namespace launcher::download
