#include "http_client.h"

#include <limits>
#include <stdexcept>

#include "common/state.h"
#include "platform/codec.h"
#include "platform/platform.h"

namespace common {

namespace {

// The body of an answer as http_get hands it on; see there.
int32_t take_body(const platform::HttpAnswer& got, std::vector<uint8_t>& answer) {
    if (!got.reached_read) return 0;
    answer.clear();
    // A body that broke off midway would pass for a whole answer; it counts as nothing.
    if (!got.complete || got.body.empty()) return 0;
    if (got.body.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw std::overflow_error("answer too large");
    answer.assign(got.body.begin(), got.body.end());
    return static_cast<int32_t>(answer.size());
}

}  // namespace

int32_t http_get(const std::string& url, std::vector<uint8_t>& answer, const std::string& user_agent) {
    if (url.empty()) return 0;
    return take_body(platform::current().http->get(platform::cp932::encode(url), platform::cp932::encode(user_agent),
                                                   kAuthorizationHeader),
                     answer);
}

int32_t http_get_program(const std::string& url, std::vector<uint8_t>& answer, const std::string& user_agent,
                         long& status) {
    status = 0;
    if (url.empty()) return 0;
    const platform::HttpAnswer got = platform::current().http->get_keeping_https(
        platform::cp932::encode(url), platform::cp932::encode(user_agent), kAuthorizationHeader);
    status = got.status;
    return take_body(got, answer);
}

int32_t http_get(const std::string& url, std::vector<uint8_t>& answer) {
    return http_get(url, answer, state().user_agent);
}

}  // namespace common
