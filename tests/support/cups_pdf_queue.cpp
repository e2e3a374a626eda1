#include "support/cups_pdf_queue.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace fakes {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDaemon = "/usr/sbin/cupsd";
constexpr const char* kPdfBackend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char* kPdfDriver = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

void write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
}

pid_t spawn(const std::vector<std::string>& argv, int out_fd) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out_fd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace

CupsPdfQueue::CupsPdfQueue() {
    if (geteuid() != 0) {
        skip_reason_ = "starting a print server of the test's own needs root";
        return;
    }
    for (const char* needed : {kDaemon, kPdfBackend, kPdfDriver, "/usr/sbin/lpadmin", "/usr/bin/pdftotext"}) {
        if (!fs::exists(needed)) {
            skip_reason_ = std::string("missing ") + needed + " (Debian packages cups, printer-driver-cups-pdf, poppler-utils)";
            return;
        }
    }
    // The daemon's own user reaches the spool through these folders.
    const std::string root = dir_.path();
    ::chmod(root.c_str(), 0755);
    for (const char* folder : {"conf", "spool", "cache", "state"}) ::chmod(dir_.folder(folder).c_str(), 0755);
    const std::string conf = root + "conf/";
    out_ = dir_.folder("out");
    socket_ = root + "cups.sock";
    // The PDF backend finds its settings by the queue's device name, in /etc/cups only.
    queue_ = "LedgrinPDF" + std::to_string(::getpid());
    pdf_settings_ = "/etc/cups/cups-pdf-" + queue_ + ".conf";
    write_file(pdf_settings_, "Out " + out_ + "\nSpool " + dir_.folder("pdf-spool") + "\nLog " + dir_.folder("pdf-log") +
                                  "\nGrp root\nLabel 2\n");
    write_file(conf + "cups-files.conf", "ServerRoot " + root + "conf\nRequestRoot " + root + "spool\nCacheDir " + root +
                                             "cache\nStateDir " + root + "state\nTempDir " + root + "spool\nErrorLog " +
                                             root + "error_log\nAccessLog " + root + "access_log\nPageLog " + root +
                                             "page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                                             "SystemGroup root\nUser lp\nGroup lp\n");
    write_file(conf + "cupsd.conf", "Listen " + socket_ +
                                        "\nLogLevel info\nBrowsing No\nWebInterface No\nDefaultAuthType None\nPreserveJobFiles Yes\n"
                                        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                        "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
    daemon_ = spawn({kDaemon, "-f", "-c", conf + "cupsd.conf", "-s", conf + "cups-files.conf"}, -1);
    if (daemon_ <= 0) {
        skip_reason_ = "cupsd did not start";
        return;
    }
    // Everything in this process that prints talks to this server.
    ::setenv("CUPS_SERVER", socket_.c_str(), 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        std::string answer;
        if (fs::exists(socket_) && run({"lpstat", "-r"}, &answer) && answer.find("is running") != std::string::npos)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            skip_reason_ = "cupsd does not answer on " + socket_;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!run({"lpadmin", "-p", queue_, "-E", "-v", "cups-pdf:/" + queue_, "-P", kPdfDriver}) ||
        !run({"lpadmin", "-d", queue_})) {
        skip_reason_ = "the PDF queue could not be added";
    }
}

CupsPdfQueue::~CupsPdfQueue() {
    if (daemon_ > 0) {
        ::kill(daemon_, SIGTERM);
        int status = 0;
        ::waitpid(daemon_, &status, 0);
    }
    if (!pdf_settings_.empty()) {
        std::error_code ec;
        fs::remove(pdf_settings_, ec);
    }
    ::unsetenv("CUPS_SERVER");
}

bool CupsPdfQueue::run(const std::vector<std::string>& argv, std::string* out) const {
    int fds[2] = {-1, -1};
    if (out && ::pipe(fds) != 0) return false;
    const pid_t pid = spawn(argv, out ? fds[1] : -1);
    if (out) {
        ::close(fds[1]);
        char buffer[4096];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) out->append(buffer, static_cast<size_t>(n));
        ::close(fds[0]);
    }
    if (pid <= 0) return false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> CupsPdfQueue::pdfs() const {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(out_, ec))
        if (e.path().extension() == ".pdf") found.push_back(e.path().string());
    return found;
}

bool CupsPdfQueue::wait_for_pdfs(size_t count, std::chrono::seconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        // A job is done when the server lists it among the completed ones; the file is
        // whole by then.
        std::string completed;
        run({"lpstat", "-W", "completed", "-o", queue_}, &completed);
        size_t lines = 0;
        for (char c : completed) lines += c == '\n';
        if (pdfs().size() > count && lines > count) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

std::vector<std::string> CupsPdfQueue::job_documents() const {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir_.path() + "spool", ec))
        if (e.path().filename().string().rfind('d', 0) == 0) found.push_back(e.path().string());
    return found;
}

int CupsPdfQueue::jobs() const {
    std::string all;
    if (!run({"lpstat", "-W", "all", "-o", queue_}, &all)) return -1;
    int lines = 0;
    for (char c : all) lines += c == '\n';
    return lines;
}

}  // namespace fakes
