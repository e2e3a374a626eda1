#pragma once
// HTTP that records every request and hands out scripted answers, in order.
#include <deque>
#include <string>
#include <vector>

#include "platform/http.h"

namespace fakes {

struct HttpRequest {
    std::string url;  // CP932 bytes as handed to the facility
    std::string user_agent;
    std::string header_line;
    bool keeping_https = false;  // through get_keeping_https
};

class FakeHttp : public platform::Http {
public:
    // A whole answer with this body (an empty body too) and this status.
    void answer(const std::string& body, long status = 200);
    // No connection: nothing reached the reading stage.
    void unreachable();
    // An answer whose body broke off after these bytes.
    void broken(const std::string& partial_body);
    // The call throws platform::Error.
    void fails();

    platform::HttpAnswer get(const std::string& url_cp932, const std::string& user_agent,
                             const std::string& header_line) override;
    platform::HttpAnswer get_keeping_https(const std::string& url_cp932, const std::string& user_agent,
                                           const std::string& header_line) override;

    // Every request, oldest first. Once the script runs out, requests are unreachable.
    std::vector<HttpRequest> requests;

private:
    platform::HttpAnswer next(HttpRequest request);

    struct Scripted {
        platform::HttpAnswer answer;
        bool throws = false;
    };
    std::deque<Scripted> script_;
};

}  // namespace fakes
