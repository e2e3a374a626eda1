#pragma once
// Servers on 127.0.0.1 for the tests of the HTTP client. Header only: a test that includes it
// links cpp-httplib itself (see tests/CMakeLists.txt), the other tests do not.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

namespace fakes {

// An httplib server (plain or TLS) listening on a free port while the object lives.
class LocalServer {
public:
    explicit LocalServer(std::unique_ptr<httplib::Server> server = std::make_unique<httplib::Server>())
        : server_(std::move(server)) {
        if (!server_->is_valid()) throw std::runtime_error("server not valid");
        port_ = server_->bind_to_any_port("127.0.0.1");
        if (port_ <= 0) throw std::runtime_error("cannot bind");
    }
    ~LocalServer() { stop(); }

    httplib::Server& operator*() { return *server_; }
    httplib::Server* operator->() { return server_.get(); }

    // Handlers are registered before start.
    void start() {
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void stop() {
        if (thread_.joinable()) {
            server_->stop();
            thread_.join();
        }
    }
    int port() const { return port_; }
    std::string url(const std::string& path, const std::string& scheme = "http") const {
        return scheme + "://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
    std::thread thread_;
};

// A listening socket on a free port of 127.0.0.1.
inline int listen_on_loopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 8) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

// A bare TCP server: records each request's bytes as they came and writes a canned reply,
// byte for byte. With hold set it then keeps the connection open without sending more,
// until the object goes.
class RawServer {
public:
    RawServer(std::string reply, bool hold = false) : reply_(std::move(reply)), hold_(hold) {
        fd_ = listen_on_loopback(port_);
        thread_ = std::thread([this] { run(); });
    }
    ~RawServer() {
        stopping_ = true;
        thread_.join();
        ::close(fd_);
    }
    int port() const { return port_; }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> g(mutex_);
        return requests_;
    }

private:
    bool wait_readable(int fd) {
        while (!stopping_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) return true;
        }
        return false;
    }
    void run() {
        while (wait_readable(fd_)) {
            int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0) continue;
            std::string request;
            char buf[4096];
            while (request.find("\r\n\r\n") == std::string::npos && wait_readable(c)) {
                ssize_t n = ::recv(c, buf, sizeof buf, 0);
                if (n <= 0) break;
                request.append(buf, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> g(mutex_);
                requests_.push_back(request);
            }
            ::send(c, reply_.data(), reply_.size(), MSG_NOSIGNAL);
            if (hold_) {
                while (!stopping_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            ::close(c);
        }
    }

    std::string reply_;
    bool hold_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A server that answers every request with a header block and then a body without end:
// the chunk again and again, one every interval (as fast as the client takes them when the
// interval is zero), until the client hangs up or the object goes. It counts what it sent.
class StreamingServer {
public:
    StreamingServer(std::string chunk, std::chrono::milliseconds interval,
                    std::string headers = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n")
        : headers_(std::move(headers)), chunk_(std::move(chunk)), interval_(interval) {
        fd_ = listen_on_loopback(port_);
        thread_ = std::thread([this] { run(); });
    }
    ~StreamingServer() {
        stopping_ = true;
        thread_.join();
        ::close(fd_);
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    long long bytes_sent() const { return sent_; }

private:
    bool wait(int fd, short events) {
        while (!stopping_) {
            pollfd p{fd, events, 0};
            int r = ::poll(&p, 1, 20);
            if (r > 0) return (p.revents & (POLLERR | POLLHUP)) == 0 || (events & POLLIN);
        }
        return false;
    }
    bool send_all(int c, const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            if (!wait(c, POLLOUT)) return false;
            ssize_t n = ::send(c, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
            if (&bytes == &chunk_) sent_ += n;
        }
        return true;
    }
    void run() {
        while (wait(fd_, POLLIN)) {
            int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0) continue;
            std::string request;
            char buf[4096];
            while (request.find("\r\n\r\n") == std::string::npos && wait(c, POLLIN)) {
                ssize_t n = ::recv(c, buf, sizeof buf, 0);
                if (n <= 0) break;
                request.append(buf, static_cast<size_t>(n));
            }
            if (send_all(c, headers_)) {
                auto next = std::chrono::steady_clock::now();
                while (!stopping_ && send_all(c, chunk_)) {
                    next += interval_;
                    while (!stopping_ && std::chrono::steady_clock::now() < next)
                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
            }
            ::close(c);
        }
    }

    std::string headers_, chunk_;
    std::chrono::milliseconds interval_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<long long> sent_{0};
    std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens.
inline int closed_port() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

// A self-signed certificate for 127.0.0.1 in a fresh temporary folder.
struct SelfSignedCert {
    std::filesystem::path dir;
    std::string cert;
    std::string key;

    SelfSignedCert() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ledgrin-cert-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp");
        dir = tmpl;
        cert = (dir / "cert.pem").string();
        key = (dir / "key.pem").string();
        const std::string cmd = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
                                " -keyout '" + key + "' -out '" + cert +
                                "' -days 2 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1"
                                " >/dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0) throw std::runtime_error("openssl req failed");
    }
    ~SelfSignedCert() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

// A certificate authority of the test's own and a certificate for 127.0.0.1 that it signed,
// in a fresh temporary folder; ca_folder holds the authority under its hash name, as
// SSL_CERT_DIR wants it.
struct TestCa {
    std::filesystem::path dir;
    std::string ca_cert, cert, key, ca_folder;

    TestCa() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ledgrin-ca-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp");
        dir = tmpl;
        const std::string d = dir.string() + "/";
        ca_cert = d + "ca.pem";
        cert = d + "cert.pem";
        key = d + "key.pem";
        ca_folder = d + "certs";
        std::filesystem::create_directory(ca_folder);
        const std::string ec = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
        const std::string steps[] = {
            "openssl req -x509" + ec + " -keyout '" + d + "ca.key' -out '" + ca_cert +
                "' -days 2 -subj '/CN=Ledgrin test CA' -addext basicConstraints=critical,CA:TRUE"
                " -addext keyUsage=critical,keyCertSign,cRLSign",
            "openssl req" + ec + " -keyout '" + key + "' -out '" + d + "cert.csr' -subj /CN=127.0.0.1",
            "printf 'subjectAltName=IP:127.0.0.1\\nbasicConstraints=CA:FALSE\\n' > '" + d + "ext.cnf'",
            "openssl x509 -req -in '" + d + "cert.csr' -CA '" + ca_cert + "' -CAkey '" + d +
                "ca.key' -CAcreateserial -days 2 -extfile '" + d + "ext.cnf' -out '" + cert + "'",
            "cp '" + ca_cert + "' '" + ca_folder + "/' && openssl rehash '" + ca_folder + "'",
        };
        for (const std::string& step : steps)
            if (std::system((step + " >/dev/null 2>&1").c_str()) != 0) throw std::runtime_error("failed: " + step);
    }
    ~TestCa() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

}  // namespace fakes
