#pragma once
#include <string>

namespace platform {

struct HttpAnswer {
    // The request got as far as reading a body (a connection was made and headers came).
    bool reached_read = false;
    // The whole body arrived; false for a transfer that broke, stalled, timed out or grew
    // beyond the size limit.
    bool complete = false;
    std::string body;  // bytes as sent, no content decoding
};

class Http {
public:
    virtual ~Http() = default;
    // GET of an address given in CP932 bytes. The agent goes as User-Agent; header_line
    // is one raw header line ending in CR LF. Redirects are followed, the status is not
    // examined, certificates are verified, connect and stall limits apply, the whole request
    // has a deadline and a body beyond the size limit is a failure.
    virtual HttpAnswer get(const std::string& url_cp932, const std::string& user_agent,
                           const std::string& header_line) = 0;
};

}  // namespace platform
