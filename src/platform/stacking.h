#pragma once
// Our own windows shown over another of ours: a box or a dialog stays above the window it
// was opened over, in that window's band (a window kept above all others included), and
// the focus goes back to that window when the box or dialog closes.
class QWidget;

namespace platform {

// The window of ours a new box or dialog is opened over: the active one, else the
// uppermost one shown; null when there is none besides the window itself.
QWidget* window_below(const QWidget* window);

// Makes the window transient for the given one before it is shown.
void stack_above(QWidget* window, QWidget* below);

// Gives the focus back to the window below once the box or dialog has closed.
void return_focus(QWidget* below);

}  // namespace platform
