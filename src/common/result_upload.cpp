#include "result_upload.h"

#include <vector>

#include "common/forms.h"
#include "common/http_client.h"
#include "common/state.h"
#include "common/text.h"
#include "platform/codec.h"

namespace common {

namespace {

const char* const kErrorPageTitle = "<HTML><HEAD><TITLE>ページを表示できません</TITLE>";
const char* const kRefused = "サーバで登録できませんでした。";
const char* const kServerError = "サーバで登録エラーが発生しました。";

}  // namespace

bool send_result(int16_t points, bool pass, const std::string& sending_time, std::string& reason) {
    std::string url;
    ignore_errors([&] {
        const Module1& s = state();
        url = s.result_url + "?RFN=" + s.roma_family_name + "&RGN=" + s.roma_given_name +
              "&result_id=" + std::to_string(s.result_id) + "&jid=" + std::to_string(s.jid) +
              "&exe_id=" + std::to_string(s.exe_id) + "&SP=" + std::to_string(points) +
              "&TC=" + sending_time + "&GOUHI=" + (pass ? "True" : "False");
    });

    // A request that fails counts as one that received nothing.
    std::vector<uint8_t> bytes;
    int32_t count = 0;
    ignore_errors([&] { count = http_get(url, bytes); });
    if (count == 0) return false;

    std::string text;
    ignore_errors([&] { text = platform::cp932::decode(std::string(bytes.begin(), bytes.end())); });

    // The error page wins over everything, even over an answer that starts with "OK".
    if (text.find(kErrorPageTitle) != std::string::npos) {
        reason = kRefused;
        return false;
    }
    if (starts_with(text, "NG")) {
        reason = kRefused;
        return false;
    }
    if (starts_with(text, "OK")) return true;
    reason = kServerError;
    return false;
}

}  // namespace common
