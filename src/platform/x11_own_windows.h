#pragma once
// Our own top-level windows as an EWMH window manager sees them: the frame it puts around
// them and what they offer it. Shared by the desktop and the message boxes; nothing happens
// where Qt does not run on X or where no window manager runs.
#include "desktop.h"

class QWidget;

namespace platform::x11 {

// The window's frame: the window manager's _NET_FRAME_EXTENTS, asked for with
// _NET_REQUEST_FRAME_EXTENTS before the window is first mapped; once it is mapped and the
// window manager says nothing, Qt's frame geometry. Zero for a window not yet created.
FrameExtents frame_extents(QWidget* window);

// Writes the taskbar state and the Motif functions and decorations of a created window;
// before the map they are in place when the window manager first looks.
void set_window_hints(QWidget* window, const WindowHints& hints);

}  // namespace platform::x11
