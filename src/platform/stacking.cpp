#include "stacking.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

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
    if (!window || !below || window == below) return;
    window->winId();
    below->winId();
    if (QWindow* w = window->windowHandle()) w->setTransientParent(below->windowHandle());
}

void return_focus(QWidget* below) {
    if (!below || !below->isVisible()) return;
    below->activateWindow();
}

}  // namespace platform
