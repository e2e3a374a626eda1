#pragma once
// Waiting for the X events a test expects. Include after every Qt header: Xlib's macros
// clash with Qt's names.
#include <chrono>
#include <functional>
#include <thread>

#include <X11/Xlib.h>

namespace fakes {

// The next event of the display that passes the test, within the time limit; other
// events are dropped. The event is copied to out when given.
inline bool wait_for_event(Display* d, const std::function<bool(const XEvent&)>& test, XEvent* out = nullptr,
                           std::chrono::milliseconds limit = std::chrono::seconds(2)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (test(e)) {
                if (out) *out = e;
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

}  // namespace fakes
