#pragma once
#include <cstdint>
#include <optional>
#include <string>

class QWidget;

namespace platform {

using WindowId = uint64_t;  // 0: none

// What a window manager puts around a window, in pixels; all zero without one.
struct FrameExtents {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// What one of our windows offers on the desktop besides its contents.
struct WindowHints {
    bool taskbar = true;      // an entry in the taskbar
    bool control_box = true;  // the close, minimise and maximise buttons and the window menu
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // The first top-level window of another program, top of the stack first, that the
    // class stands for: a class the lists name stands for its kind of program, the Linux
    // programs of that kind included (program_kinds.h); any other class matches its own
    // windows only. With a title, only a window that shows exactly that title, or that
    // title followed by its file manager's own suffix. Our own windows and the dialogs of
    // other windows never match.
    virtual WindowId find_window(const std::string& window_class,
                                 const std::optional<std::string>& title) = 0;
    // The same among the windows that may be asked to close now (WindowRegistry::may_ask):
    // a window passed over leaves the turn to the next one of its kind.
    virtual WindowId find_window_to_close(const std::string& window_class,
                                          const std::optional<std::string>& title) = 0;
    // Raises the window and gives it the keyboard focus (through the window manager where
    // one runs). True when the keyboard focus is in the window or one of its dialogs
    // afterwards, so that a key stroke would reach that program and no other. It never
    // switches the workspace shown: a window on another workspace is left where it is, false.
    virtual bool bring_to_front(WindowId id) = 0;
    // Asks the window to close through its own WM_DELETE_WINDOW, at most once in
    // WindowRegistry::kCloseIntervalMs. A window without that protocol is left alone: it
    // is never killed, nor asked through the window manager, which would kill it.
    virtual void request_close(WindowId id) = 0;
    // Moves and sizes another program's top-level window (pixels, screen coordinates),
    // takes it out of the band kept above all others and shows it. Nothing happens for 0
    // or for a window that has gone meanwhile.
    virtual void place(WindowId id, int x, int y, int width, int height) = 0;
    // Keeps one of our own windows above all others, or lets it go back. A window once kept
    // above is on every workspace from then on.
    virtual void set_topmost(QWidget* window, bool on) = 0;
    // The frame around one of our windows once its native window exists. Before the window
    // is first shown, the window manager is asked what it will put around it.
    virtual FrameExtents frame_extents(QWidget* window) {
        (void)window;
        return {};
    }
    // Tells the window manager, before the window is shown, what the window offers; a
    // window without a control box can only be moved and, with a sizable border, sized.
    virtual void set_window_hints(QWidget* window, const WindowHints& hints) {
        (void)window;
        (void)hints;
    }
};

class KeySender {
public:
    virtual ~KeySender() = default;
    virtual void key_down(uint8_t virtual_key) = 0;
    virtual void key_up(uint8_t virtual_key) = 0;
    // Presses and releases the key only while the keyboard focus is in the window or one
    // of its dialogs, checked and typed at one go, so that nothing can move the focus in
    // between (a window manager focusing a window that has just come up); false when the
    // focus was elsewhere and no key was sent.
    virtual bool stroke_into(WindowId window, uint8_t virtual_key) = 0;
};

}  // namespace platform
