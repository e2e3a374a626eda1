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
    // Another program's top-level window by class (exact) and, when given, exact title.
    virtual WindowId find_window(const std::string& window_class,
                                 const std::optional<std::string>& title) = 0;
    virtual void bring_to_front(WindowId id) = 0;
    // Asks the window politely to close; never kills its program.
    virtual void request_close(WindowId id) = 0;
    // Moves and sizes another program's top-level window (pixels, screen coordinates),
    // takes it out of the band kept above all others and shows it. Nothing happens for 0
    // or for a window that has gone meanwhile.
    virtual void place(WindowId id, int x, int y, int width, int height) = 0;
    // Keeps one of our own windows above all others, or lets it go back.
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
};

}  // namespace platform
