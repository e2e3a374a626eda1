#include "startup.h"

#include "common/folders.h"
#include "common/message_boxes.h"
#include "common/startup.h"
#include "frm_main.h"
#include "icon.h"
#include "module1.h"
#include "platform/platform.h"
#include "windows.h"

namespace launcher {

namespace {

void create_when_missing(const std::string& folder) {
    auto& files = *platform::current().files;
    try {
        if (!files.folder_exists(folder)) files.create_folder(folder);
    } catch (const platform::Error&) {
        // Left missing: a download into it reports its own failure.
    }
}

}  // namespace

void refuse_os_version() {
    common::end_after_box(common::box("このバージョンのOSでは試験を実施することはできません。", "OSバージョンエラー",
                                      platform::MbButtons::Ok, platform::MbIcon::Warning, platform::MbResult::Ok,
                                      true));
}

std::string get_program_folder() {
    const std::string folder = common::with_trailing_slash(platform::current().system->temp_path()) + "bramwick/";
    create_when_missing(folder);
    create_when_missing(folder + "data");
    return folder;
}

void Main() {
    auto& p = platform::current();
    Module1& s = state();

    if (p.system->os_major_version() < 6) refuse_os_version();
    if (!common::screen_is_96_dpi()) common::refuse_screen();
    // The lock lives in the temporary folder: that folder is checked before anything is
    // made in it.
    common::require_base_folder();
    common::take_instance_lock("launcher");

    s.download_url = common::read_server_setting("url");
    if (s.download_url.empty()) s.download_url = kDefaultDownloadUrl;
    s.login_url = common::read_server_setting("login");
    if (s.login_url.empty()) s.login_url = kDefaultLoginUrl;

    s.data_path = common::with_trailing_slash(p.system->program_folder()) + "data/";
    s.program_path = get_program_folder();
    s.user_agent = kUserAgent;

    frmMain& sign_in = forms().main.get();
    use_launcher_icon_once_drawn(&sign_in);
    sign_in.show_modeless();
    common::do_events();
}

}  // namespace launcher
