#include "stacking.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "x11_own_windows.h"

namespace platform {

QWidget* window_below(const QWidget* window) {
    QWidget* active = QApplication::activeWindow();
    if (active && active != window && active->isVisible()) return active;
    // Qt keeps no stacking order of its own: the one made last stands for the uppermost.
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == window || !w->isVisible() || w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip) continue;
        found = w;
    }
    return found;
}

void stack_above(QWidget* window, QWidget* below) {
    if (!window || window == below) return;
    x11::keep_shown(window, {});
    if (!below) return;
    window->winId();
    below->winId();
    if (QWindow* w = window->windowHandle()) w->setTransientParent(below->windowHandle());
}

void keep_shown(QWidget* window, std::function<bool()> wanted) { x11::keep_shown(window, std::move(wanted)); }

void show_again_if_hidden(QWidget* window) { x11::show_again_if_hidden(window); }

void return_focus(QWidget* below) {
    if (!below || !below->isVisible()) return;
    below->activateWindow();
}

}  // namespace platform
