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
constexpr const char* kServerBin = "/usr/lib/cups";
constexpr const char* kPdfDriver = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
constexpr const char* kDistiller = "/usr/bin/gs";

// The queue's device: called by the daemon with the job's id, user, title, copies, options
// and, when there is one, the file (else the document comes on stdin); the device URI names
// the output folder. A PDF shows up only once it is whole.
constexpr const char* kBackend = R"SH(#!/bin/sh
if [ $# -eq 0 ]; then
  echo 'direct ledgrin-pdf "Unknown" "PDF files of a test"'
  exit 0
fi
out="${DEVICE_URI#ledgrin-pdf:}/job-$1"
input=-
[ $# -ge 6 ] && input="$6"
/usr/bin/gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile="$out.part" "$input" || exit 1
mv "$out.part" "$out.pdf"
)SH";

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
    for (const char* needed : {kDaemon, kPdfDriver, kDistiller, "/usr/sbin/lpadmin", "/usr/bin/pdftotext"}) {
        if (!fs::exists(needed)) {
            skip_reason_ = std::string("missing ") + needed +
                           " (Debian packages cups, printer-driver-cups-pdf, ghostscript, poppler-utils)";
            return;
        }
    }
    // The daemon's own user reaches the spool through these folders, and the daemon runs
    // only programs that root owns in folders that only root may change.
    const std::string root = dir_.path();
    ::chmod(root.c_str(), 0755);
    for (const char* folder : {"conf", "spool", "cache", "state", "bin", "bin/backend"})
        ::chmod(dir_.folder(folder).c_str(), 0755);
    const std::string conf = root + "conf/";
    out_ = dir_.folder("out");
    socket_ = root + "cups.sock";
    queue_ = "LedgrinPDF" + std::to_string(::getpid());
    // The machine's filters and helpers, and the backend of the test's own: mode 0700 has
    // the daemon run it as root, which owns the output folder.
    const std::string bin = root + "bin/";
    for (const char* part : {"daemon", "filter", "cgi-bin", "monitor", "notifier", "driver"})
        fs::create_directory_symlink(std::string(kServerBin) + "/" + part, bin + part);
    write_file(bin + "backend/ledgrin-pdf", kBackend);
    ::chmod((bin + "backend/ledgrin-pdf").c_str(), 0700);
    write_file(conf + "cups-files.conf", "ServerRoot " + root + "conf\nRequestRoot " + root + "spool\nCacheDir " + root +
                                             "cache\nStateDir " + root + "state\nTempDir " + root + "spool\nErrorLog " +
                                             root + "error_log\nAccessLog " + root + "access_log\nPageLog " + root +
                                             "page_log\nServerBin " + bin + "\nDataDir /usr/share/cups\n"
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
    if (!run({"lpadmin", "-p", queue_, "-E", "-v", "ledgrin-pdf:" + out_, "-P", kPdfDriver}) ||
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
