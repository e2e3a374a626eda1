// A small X client for the tests of the desktop facility and the watchdogs: one top-level
// window whose WM_CLASS, title, delete protocol and answer to a close request come from
// its arguments. What happens to it is written to standard output, one line each, so the
// test sees what the program saw:
//   ready <window>      mapped and waiting
//   delete              WM_DELETE_WINDOW received on the main window
//   question <window>   the question it asks before closing is up (--on-delete ask)
//   question-delete     WM_DELETE_WINDOW received on the question
//   cancelled           the question was dismissed (Esc or its own close request)
//   message <atom>      any other client message
//   key <keysym> <main|question>
//   exit                closing by itself
//
// usage: x_test_client --instance NAME --class NAME --title TEXT
//                      [--on-delete close|decline|ask|none] [--pid-of-parent] [--desktop N]
//                      [--transient-for root|leader]
// --on-delete: close (default) ends at once; decline stays; ask shows a question (a dialog
// of the window) and ends on Return there, stays on Esc; none has no WM_DELETE_WINDOW at all.
// --pid-of-parent names the parent's process id in _NET_WM_PID, as the parent's own windows do.
// --desktop asks the window manager to put the window on that workspace (_NET_WM_DESKTOP
// before the map).
// --transient-for marks the main window WM_TRANSIENT_FOR the root, or a group leader that is
// never shown, as a parentless Qt dialog is.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string hex(Window w) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%lx", w);
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    std::string instance = "xtestclient", window_class = "XTestClient", title = "x test client";
    std::string on_delete = "close";
    bool parent_pid = false;
    long desktop = -1;
    std::string owner;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : "";
        if (a == "--instance") instance = next, ++i;
        else if (a == "--class") window_class = next, ++i;
        else if (a == "--title") title = next, ++i;
        else if (a == "--on-delete") on_delete = next, ++i;
        else if (a == "--pid-of-parent") parent_pid = true;
        else if (a == "--desktop") desktop = std::strtol(next, nullptr, 10), ++i;
        else if (a == "--transient-for") owner = next, ++i;
        else {
            std::fprintf(stderr, "x_test_client: unknown argument %s\n", a.c_str());
            return 2;
        }
    }

    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "x_test_client: no display\n");
        return 2;
    }
    const Atom wm_protocols = XInternAtom(d, "WM_PROTOCOLS", False);
    const Atom wm_delete = XInternAtom(d, "WM_DELETE_WINDOW", False);
    const Atom net_wm_name = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom net_wm_pid = XInternAtom(d, "_NET_WM_PID", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);

    auto make = [&](const std::string& name, Window transient_for) {
        Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 40, 40, 320, 200, 0, 0, 0xE0E0E0);
        XClassHint hint{const_cast<char*>(instance.c_str()), const_cast<char*>(window_class.c_str())};
        XSetClassHint(d, w, &hint);
        XStoreName(d, w, name.c_str());
        XChangeProperty(d, w, net_wm_name, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(name.data()), static_cast<int>(name.size()));
        const long pid = parent_pid ? static_cast<long>(getppid()) : static_cast<long>(getpid());
        XChangeProperty(d, w, net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);
        if (on_delete != "none") {
            Atom del = wm_delete;
            XSetWMProtocols(d, w, &del, 1);
        }
        if (transient_for) XSetTransientForHint(d, w, transient_for);
        if (desktop >= 0)
            XChangeProperty(d, w, XInternAtom(d, "_NET_WM_DESKTOP", False), XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&desktop), 1);
        XSelectInput(d, w, KeyPressMask | StructureNotifyMask);
        XMapRaised(d, w);
        return w;
    };

    Window owner_window = 0;
    if (owner == "root") owner_window = DefaultRootWindow(d);
    if (owner == "leader") owner_window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    const Window main_window = make(title, owner_window);
    Window question = 0;
    bool ready = false;
    for (;;) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == MapNotify && e.xmap.window == main_window && !ready) {
            ready = true;
            say("ready " + hex(main_window));
        } else if (e.type == MapNotify && e.xmap.window == question) {
            say("question " + hex(question));
        } else if (e.type == ClientMessage) {
            const bool deletes = e.xclient.message_type == wm_protocols &&
                                 static_cast<Atom>(e.xclient.data.l[0]) == wm_delete;
            if (!deletes) {
                char* name = XGetAtomName(d, e.xclient.message_type);
                say(std::string("message ") + (name ? name : "?"));
                if (name) XFree(name);
                continue;
            }
            if (e.xclient.window == question) {
                say("question-delete");
                XDestroyWindow(d, question);
                question = 0;
                say("cancelled");
                continue;
            }
            say("delete");
            if (on_delete == "close") break;
            if (on_delete == "ask" && !question) question = make("Save changes?", main_window);
        } else if (e.type == KeyPress) {
            const KeySym sym = XLookupKeysym(&e.xkey, 0);
            const char* name = XKeysymToString(sym);
            const bool in_question = e.xkey.window == question && question;
            say(std::string("key ") + (name ? name : "?") + (in_question ? " question" : " main"));
            if (in_question && sym == XK_Escape) {
                XDestroyWindow(d, question);
                question = 0;
                say("cancelled");
            } else if (in_question && sym == XK_Return) {
                break;
            }
        }
    }
    say("exit");
    XDestroyWindow(d, main_window);
    XCloseDisplay(d);
    return 0;
}
