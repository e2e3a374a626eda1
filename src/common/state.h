#pragma once
// Program-wide values of the examination program. Created empty at start, filled by
// start-up, the main window, its page builder and the examination window; nothing of
// them is stored on disk.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class DatabaseEngine;
class HeldFolder;
}

namespace common {

struct Module1 {
    std::vector<std::string> test_definition;
    bool main_loaded = false;
    bool rehearsal_mode = false;
    int32_t exe_id = 0;
    std::string test_name;
    std::string test_center;
    std::string register_url;
    std::string result_url;
    std::string user_agent;
    std::string db_password;
    std::string app_path;
    std::string data_path;
    std::string scratch_path;
    // The scratch folder as start-up checked it, held open; null when it could not be.
    std::shared_ptr<platform::HeldFolder> scratch_folder;
    std::string result_path;
    // The result folder as start-up checked it, held open: the record goes into that folder
    // even when its path is swapped for a link during the examination.
    std::shared_ptr<platform::HeldFolder> result_folder;
    std::array<std::string, 7> screen_html;  // slot 0 unused
    std::string roma_family_name;
    std::string roma_given_name;
    std::string register_password;
    bool confirm_flag = false;
    int32_t jid = 0;
    int32_t result_id = 0;
    std::vector<std::string> answer_key;  // indices 0 to 50 once a build has run
    int16_t q4_group = 0;
    bool exam_ended = false;
    int16_t time_limit = 0;
    int16_t exam_score = 0;
    int16_t exe_point = 0;
};

Module1& state();
// Back to the state of a freshly started program (tests).
void reset_state();

}  // namespace common
