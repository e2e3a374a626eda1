#pragma once
// Waiting for the X events a test expects. Include after every Qt header: Xlib's macros
// clash with Qt's names.
#include <chrono>
#include <functional>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/x11_connection.h"

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

// Polls until the condition holds, within the limit: what a window manager does comes in
// its own time.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// Whether a window manager announces itself on the display's root window.
inline bool window_manager_running(Display* d) { return platform::x11::window_manager_window(d) != 0; }

}  // namespace fakes
