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
};

class FakeHttp : public platform::Http {
public:
    // A whole answer with this body (an empty body too).
    void answer(const std::string& body);
    // No connection: nothing reached the reading stage.
    void unreachable();
    // An answer whose body broke off after these bytes.
    void broken(const std::string& partial_body);
    // The call throws platform::Error.
    void fails();

    platform::HttpAnswer get(const std::string& url_cp932, const std::string& user_agent,
                             const std::string& header_line) override;

    // Every request, oldest first. Once the script runs out, requests are unreachable.
    std::vector<HttpRequest> requests;

private:
    struct Scripted {
        platform::HttpAnswer answer;
        bool throws = false;
    };
    std::deque<Scripted> script_;
};

}  // namespace fakes
