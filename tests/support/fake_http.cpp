#include "fake_http.h"

#include "platform/error.h"

namespace fakes {

void FakeHttp::answer(const std::string& body, long status) {
    script_.push_back({platform::HttpAnswer{true, true, body, status}, false});
}

void FakeHttp::unreachable() { script_.push_back({platform::HttpAnswer{}, false}); }

void FakeHttp::broken(const std::string& partial_body) {
    script_.push_back({platform::HttpAnswer{true, false, partial_body, 200}, false});
}

void FakeHttp::fails() { script_.push_back({platform::HttpAnswer{}, true}); }

platform::HttpAnswer FakeHttp::get(const std::string& url_cp932, const std::string& user_agent,
                                   const std::string& header_line) {
    return next({url_cp932, user_agent, header_line, false});
}

platform::HttpAnswer FakeHttp::get_keeping_https(const std::string& url_cp932, const std::string& user_agent,
                                                 const std::string& header_line) {
    return next({url_cp932, user_agent, header_line, true});
}

platform::HttpAnswer FakeHttp::next(HttpRequest request) {
    requests.push_back(std::move(request));
    if (script_.empty()) return platform::HttpAnswer{};
    Scripted next = script_.front();
    script_.pop_front();
    if (next.throws) throw platform::Error("scripted HTTP failure");
    return next.answer;
}

}  // namespace fakes
