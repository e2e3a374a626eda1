#pragma once
// Our own windows shown over another of ours: a box or a dialog stays above the window it
// was opened over, in that window's band (a window kept above all others included), comes
// back with it when a window manager hides it, and the focus goes back to that window when
// the box or dialog closes.
#include <functional>

class QWidget;

namespace platform {

// The window of ours a new box or dialog is opened over: the active one, else the
// uppermost one shown; null when there is none besides the window itself.
QWidget* window_below(const QWidget* window);

// Makes the window transient for the given one (when there is one) before it is shown, so
// that a window manager keeps the two together; a window manager that minimises it anyway
// sees it shown again, with the window below, above it and active.
void stack_above(QWidget* window, QWidget* below);

// A window that a window manager must not put out of sight: whenever one hides it while
// it is shown and wanted() holds (always, when empty), it is shown again, above and active.
void keep_shown(QWidget* window, std::function<bool()> wanted);
// Shows it again at once when it is hidden so: for a window whose wanted() has just come
// to hold.
void show_again_if_hidden(QWidget* window);

// Gives the focus back to the window below once the box or dialog has closed.
void return_focus(QWidget* below);

}  // namespace platform
