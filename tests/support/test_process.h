#pragma once
// How every test executable starts, under CTest or by hand as build/tests/<name>: in folders
// of its own under the build tree ($TMPDIR, $HOME and $XDG_RUNTIME_DIR point there, so neither
// the test nor a program it starts writes into /tmp, the caller's home or runtime folder),
// with Qt offscreen, or on the display for the X11 tests (*_x11_test), which skip, saying
// why, without one.
#include <string>

namespace fakes {

// CTest counts a test that ends with this status as skipped (SKIP_RETURN_CODE).
inline constexpr int kSkippedStatus = 77;

class TestProcess {
public:
    // Call before Qt and before anything that writes a file.
    explicit TestProcess(const char* argv0);
    // Removes the test's folders with everything in them.
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    // False when this test cannot run here at all; skip() then says why.
    bool can_run() const { return skip_reason_.empty(); }
    // Prints the reason as GoogleTest marks a skip; returns the status to end with.
    int skip() const;

private:
    std::string name_;
    std::string folder_;
    std::string skip_reason_;
};

}  // namespace fakes
