#pragma once
// A print server of the test's own: a CUPS daemon with its own folders and socket and one
// queue that prints into PDF files (CUPS-PDF), the default destination of this process.
// The machine's own print server, if there is one, is never touched. Starting one needs
// root (the PDF backend runs as root and reads its settings from /etc/cups); without it,
// or without the Debian packages, skip_reason() says why.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace fakes {

class CupsPdfQueue {
public:
    // Starts the daemon and adds the queue; call before anything in the process prints.
    CupsPdfQueue();
    // Ends the daemon it started and removes the queue's settings file.
    ~CupsPdfQueue();
    CupsPdfQueue(const CupsPdfQueue&) = delete;
    CupsPdfQueue& operator=(const CupsPdfQueue&) = delete;

    // Empty when the queue is ready.
    const std::string& skip_reason() const { return skip_reason_; }
    const std::string& queue() const { return queue_; }

    // The PDF files the queue has written so far.
    std::vector<std::string> pdfs() const;
    // Waits until there are more PDF files than `count`, each one complete.
    bool wait_for_pdfs(size_t count, std::chrono::seconds limit) const;
    // The documents of the jobs as the server received them, kept after printing. The PDF
    // backend distils its files through PostScript, which keeps the look of a page but not
    // always its text; what was sent is read here.
    std::vector<std::string> job_documents() const;
    // How many jobs the server has been given, finished or not.
    int jobs() const;

private:
    bool run(const std::vector<std::string>& argv, std::string* out = nullptr) const;

    TempDir dir_{"ledgrin-cups-"};
    std::string skip_reason_;
    std::string queue_;
    std::string socket_;
    std::string out_;
    std::string pdf_settings_;
    pid_t daemon_ = -1;
};

}  // namespace fakes
