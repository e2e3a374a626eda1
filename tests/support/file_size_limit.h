#pragma once
// A full disk for a while: the process's file-size limit lowered for as long as the object
// lives, so a write that would pass the limit writes only what fits and then fails. The
// files backend turns the signal such a write raises into an error; without that, the test
// ends with the signal.
#include <sys/resource.h>

#include <stdexcept>

namespace fakes {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0) throw std::runtime_error("getrlimit");
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        if (::setrlimit(RLIMIT_FSIZE, &lowered) != 0) throw std::runtime_error("setrlimit");
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
};

}  // namespace fakes
