#include "fake_http.h"

#include "platform/error.h"

namespace fakes {

void FakeHttp::answer(const std::string& body) {
    script_.push_back({platform::HttpAnswer{true, true, body}, false});
}

void FakeHttp::unreachable() { script_.push_back({platform::HttpAnswer{}, false}); }

void FakeHttp::broken(const std::string& partial_body) {
    script_.push_back({platform::HttpAnswer{true, false, partial_body}, false});
}

void FakeHttp::fails() { script_.push_back({platform::HttpAnswer{}, true}); }

platform::HttpAnswer FakeHttp::get(const std::string& url_cp932, const std::string& user_agent,
                                   const std::string& header_line) {
    requests.push_back({url_cp932, user_agent, header_line});
    if (script_.empty()) return platform::HttpAnswer{};
    Scripted next = script_.front();
    script_.pop_front();
    if (next.throws) throw platform::Error("scripted HTTP failure");
    return next.answer;
}

}  // namespace fakes
