#pragma once
// A safety net for tests that put a FIFO where a file is read: should the code under test
// block in open or read on it, the FIFO's writing end is opened and closed after a while,
// which lets the reader go with nothing read, and rescued() tells the test so, instead of
// the test hanging for ever.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace fakes {

class FifoRescue {
public:
    explicit FifoRescue(std::string path, std::chrono::milliseconds after = std::chrono::seconds(5))
        : path_(std::move(path)), thread_([this, after] { watch(after); }) {}
    ~FifoRescue() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    FifoRescue(const FifoRescue&) = delete;
    FifoRescue& operator=(const FifoRescue&) = delete;

    bool rescued() const { return rescued_; }

private:
    void watch(std::chrono::milliseconds after) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_for(lock, after, [this] { return done_; })) return;
        // Opening the writing end without blocking succeeds only while a reader waits.
        while (!wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return done_; })) {
            const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                rescued_ = true;
                ::close(fd);
            }
        }
    }

    std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::atomic<bool> rescued_{false};
    std::thread thread_;
};

}  // namespace fakes
