#pragma once
// Other programs' windows on the display as a person sees them: found by the title in their
// title bar, answered with keys through XTest. Include after every Qt header: Xlib's
// macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <string>

namespace fakes {

inline std::string window_title(Display* d, Window w) {
    const Atom net_name = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(d, w, net_name, 0, 4096, False, utf8, &type, &format, &count, &after, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        if (!title.empty()) return title;
    }
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

// The first window on screen with exactly that title, looked for through the whole tree
// (a window manager puts the programs' windows into frames of its own); 0 when none.
inline Window find_window_titled(Display* d, const std::string& title, Window from = 0) {
    if (!from) from = DefaultRootWindow(d);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, from, &root, &parent, &children, &n)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < n && !found; ++i) {
        XWindowAttributes a {};
        if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
            window_title(d, children[i]) == title)
            found = children[i];
        else
            found = find_window_titled(d, title, children[i]);
    }
    if (children) XFree(children);
    return found;
}

// Brings the window to the front with the keyboard's focus, then presses and releases the key.
inline void press_key_in(Display* d, Window w, KeySym key) {
    XRaiseWindow(d, w);
    XSetInputFocus(d, w, RevertToParent, CurrentTime);
    XSync(d, False);
    const KeyCode code = XKeysymToKeycode(d, key);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    XSync(d, False);
}

}  // namespace fakes
