#pragma once
// A connection of our own to the X server, opened on first use, for the backends that
// reach other programs' windows. Qt's own connection is left alone.
// Include it after every Qt header and every header of ours: Xlib defines None,
// Bool, Status and other plain words as macros.
#include <X11/Xlib.h>

#include <vector>

namespace platform::x11 {

// Whether the keyboard focus is in the window, inside it, or in one of its dialogs (or
// inside one). Asks the server.
bool focus_within(Display* display, Window window);

class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Null when there is no X display to talk to; tried once.
    Display* get();

private:
    Display* display_ = nullptr;
    bool tried_ = false;
};

// While alive, X errors of our connection (a window that went away meanwhile) are
// dropped instead of ending the program, which is what Xlib's default handler would do;
// errors of other connections go to the handler that was there before. It waits for
// nothing: an error arrives with a later answer or event, and every read of our
// connection happens inside a trap (the connection's close included).
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    Display* display_;
    XErrorHandler previous_;
    Display* previous_trapped_;
};

// The values of a 32-bit property of the window (at most max_count); false when it is
// missing or of another type, so that an empty list tells itself apart from none.
bool read_longs(Display* d, Window w, Atom property, Atom type, long max_count, std::vector<long>& out);

// The check window of the window manager that runs on the display: announced on the root
// and naming itself, as EWMH has it. 0 when none runs, or one ended without taking its
// announcement away.
Window window_manager_window(Display* d);

// A client message about window w for the window manager, sent to the root window as
// EWMH asks (_NET_ACTIVE_WINDOW, _NET_WM_STATE, _NET_REQUEST_FRAME_EXTENTS, ...).
void send_to_root(Display* d, Window w, Atom type, long l0, long l1, long l2, long l3 = 0);

}  // namespace platform::x11
