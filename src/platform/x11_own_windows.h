#pragma once
// Our own top-level windows as an EWMH window manager sees them: the frame it puts around
// them and what they offer it. Shared by the desktop and the message boxes; nothing happens
// where Qt does not run on X or where no window manager runs.
#include <functional>

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

// Puts the window on every workspace: asked for before each map (_NET_WM_DESKTOP all, and
// the sticky state where the window manager keeps one) and asked again whenever a window
// manager puts it on one workspace. Lasts as long as the window.
void keep_on_every_workspace(QWidget* window);

// Shows the window again, with the windows it stands over (its transient owners), above
// them and active, whenever a window manager hides it while it is shown (minimised, or put
// aside by "show desktop") and wanted() holds; an empty wanted() always holds. Reacts to
// the window's map and state events and to the root's "show desktop" state; lasts as long
// as the window.
void keep_shown(QWidget* window, std::function<bool()> wanted);

// The same at once, for a window whose wanted() has just come to hold.
void show_again_if_hidden(QWidget* window);

}  // namespace platform::x11
