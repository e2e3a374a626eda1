#pragma once
// A print server of the test's own: a CUPS daemon with its settings, socket, spool, logs and
// programs in a folder of the test's own, and one queue that prints into PDF files, the
// default destination of this process. The queue's driver makes PostScript of each job, as
// a printer's does; its device, a backend of the test's own, distils that into a PDF in the
// queue's output folder. Nothing of the machine's own print server is touched. The daemon
// runs as root (it drops to its own user for the filters); without root, or without the
// Debian packages, skip_reason() says why.
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
    // Ends the daemon it started.
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
    // The documents of the jobs as the server received them, kept after printing. The queue
    // distils its files through PostScript, which keeps the look of a page but not always
    // its text; what was sent is read here.
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
    pid_t daemon_ = -1;
};

}  // namespace fakes
