#include "http_client.h"

#include <limits>
#include <stdexcept>

#include "common/state.h"
#include "platform/codec.h"
#include "platform/platform.h"

namespace common {

int32_t http_get(const std::string& url, std::vector<uint8_t>& answer, const std::string& user_agent) {
    if (url.empty()) return 0;
    const platform::HttpAnswer got = platform::current().http->get(
        platform::cp932::encode(url), platform::cp932::encode(user_agent), kAuthorizationHeader);
    if (!got.reached_read) return 0;
    answer.clear();
    // A body that broke off midway would pass for a whole answer; it counts as nothing.
    if (!got.complete || got.body.empty()) return 0;
    if (got.body.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw std::overflow_error("answer too large");
    answer.assign(got.body.begin(), got.body.end());
    return static_cast<int32_t>(answer.size());
}

int32_t http_get(const std::string& url, std::vector<uint8_t>& answer) {
    return http_get(url, answer, state().user_agent);
}

}  // namespace common
