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
    // Status of the answer itself, after the redirects followed; 0 when none came.
    long status = 0;
};

class Http {
public:
    virtual ~Http() = default;
    // GET of an address given in CP932 bytes. The agent goes as User-Agent; header_line
    // is one raw header line ending in CR LF. Redirects are followed, the status is reported
    // but not judged, certificates are verified, connect and stall limits apply, the whole
    // request has a deadline and a body beyond the size limit is a failure.
    virtual HttpAnswer get(const std::string& url_cp932, const std::string& user_agent,
                           const std::string& header_line) = 0;
    // The same for a file that is run afterwards: a redirect may not take an HTTPS request to
    // plain HTTP, where anyone on the way could swap the file; such a redirect is not
    // followed and nothing is received.
    virtual HttpAnswer get_keeping_https(const std::string& url_cp932, const std::string& user_agent,
                                         const std::string& header_line) = 0;
};

}  // namespace platform
