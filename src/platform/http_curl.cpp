// HTTP GET on libcurl's blocking easy interface.
#include <curl/curl.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "backends.h"
#include "http.h"

namespace platform {

namespace {

// The addresses come from settings and state as CP932 bytes. Only what cannot stand in a
// request line is escaped; an address that already holds "%XX" keeps it as it is.
std::string escape_address(const std::string& url) {
    std::string out;
    out.reserve(url.size());
    for (unsigned char c : url) {
        if (c <= 0x20 || c >= 0x7F) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool starts_with_nocase(const char* data, size_t size, const char* prefix) {
    for (size_t i = 0; prefix[i]; ++i) {
        if (i >= size) return false;
        if (std::tolower(static_cast<unsigned char>(data[i])) != prefix[i]) return false;
    }
    return true;
}

using SteadyClock = std::chrono::steady_clock;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

struct Transfer {
    CURL* curl = nullptr;
    std::string body;
    size_t max_body = 0;
    std::chrono::milliseconds stall_limit{0};
    SteadyClock::time_point last_arrival = SteadyClock::now();
    bool block_has_location = false;
    // Headers of the answer itself arrived (not those of an interim or a followed redirect).
    bool final_headers = false;
};

size_t on_body(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    t->last_arrival = SteadyClock::now();
    // A server that sends without end would otherwise grow the answer until memory runs out.
    if (size * count > t->max_body - t->body.size()) return 0;
    try {
        t->body.append(data, size * count);
    } catch (...) {
        return 0;  // no room: curl ends the transfer as broken
    }
    return size * count;
}

size_t on_header(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    t->last_arrival = SteadyClock::now();
    if (starts_with_nocase(data, n, "http/")) {
        t->block_has_location = false;
    } else if (starts_with_nocase(data, n, "location:")) {
        t->block_has_location = true;
    } else if ((n == 2 && data[0] == '\r' && data[1] == '\n') || (n == 1 && data[0] == '\n')) {
        long code = 0;
        curl_easy_getinfo(t->curl, CURLINFO_RESPONSE_CODE, &code);
        const bool interim = code >= 100 && code < 200;
        const bool followed = code >= 300 && code < 400 && code != 304 && t->block_has_location;
        if (!interim && !followed) t->final_headers = true;
    }
    return n;
}

// curl's own speed check averages over several seconds, so a server that sent a little and
// then fell silent would be waited for well past the limit; silence is timed here instead.
int on_progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    return SteadyClock::now() - t->last_arrival > t->stall_limit ? 1 : 0;
}

class CurlHttp final : public Http {
public:
    explicit CurlHttp(CurlLimits limits) : limits_(std::move(limits)) {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    }

    HttpAnswer get(const std::string& url_cp932, const std::string& user_agent,
                   const std::string& header_line) override {
        return fetch(url_cp932, user_agent, header_line, "http,https");
    }

    HttpAnswer get_keeping_https(const std::string& url_cp932, const std::string& user_agent,
                                 const std::string& header_line) override {
        const bool https = starts_with_nocase(url_cp932.data(), url_cp932.size(), "https:");
        return fetch(url_cp932, user_agent, header_line, https ? "https" : "http,https");
    }

private:
    HttpAnswer fetch(const std::string& url_cp932, const std::string& user_agent, const std::string& header_line,
                     const char* redirect_protocols) {
        HttpAnswer answer;
        CURL* curl = curl_easy_init();
        if (!curl) return answer;

        // curl wants header lines without their line ends; it writes "Name:value" as given.
        curl_slist* headers = nullptr;
        size_t start = 0;
        while (start < header_line.size()) {
            size_t end = header_line.find_first_of("\r\n", start);
            if (end == std::string::npos) end = header_line.size();
            if (end > start) headers = curl_slist_append(headers, header_line.substr(start, end - start).c_str());
            start = end + 1;
        }

        Transfer t;
        t.curl = curl;
        t.stall_limit = std::chrono::seconds(limits_.stall_seconds);
        t.max_body = limits_.max_body_bytes;
        const std::string address = escape_address(url_cp932);
        curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, redirect_protocols);
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(curl, CURLOPT_USERAGENT, user_agent.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_HTTP_CONTENT_DECODING, 0L);
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 20L);  // a redirect loop ends instead of spinning
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        // A centre's private CA is named the usual way; verification itself stays on.
        std::string ca_file = limits_.ca_file;
        if (ca_file.empty()) ca_file = environment("CURL_CA_BUNDLE");
        if (ca_file.empty()) ca_file = environment("SSL_CERT_FILE");
        const std::string ca_folder = environment("SSL_CERT_DIR");
        if (!ca_file.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, ca_file.c_str());
        if (!ca_folder.empty()) curl_easy_setopt(curl, CURLOPT_CAPATH, ca_folder.c_str());
        // Without limits a dead server would hold the window for ever, and one that keeps
        // trickling would hold it as long as it likes: every request ends by the deadline.
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, limits_.connect_timeout_ms);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, limits_.total_timeout_ms);
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.max_body_bytes));
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits_.stall_seconds);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, on_progress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, on_body);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, on_header);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, &t);

        const CURLcode rc = curl_easy_perform(curl);
        long status = 0;
        if (t.final_headers) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_cleanup(curl);
        curl_slist_free_all(headers);

        answer.reached_read = t.final_headers;
        // A body that broke off, stalled or timed out is not an answer.
        answer.complete = t.final_headers && rc == CURLE_OK;
        answer.body = std::move(t.body);
        answer.status = status;
        return answer;
    }

    CurlLimits limits_;
};

}  // namespace

std::unique_ptr<Http> make_curl_http() { return make_curl_http(CurlLimits{}); }

std::unique_ptr<Http> make_curl_http(const CurlLimits& limits) { return std::make_unique<CurlHttp>(limits); }

}  // namespace platform
