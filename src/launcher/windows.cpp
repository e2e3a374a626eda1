#include "windows.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "frm_main.h"
#include "frm_shipai.h"
#include "frm_test_info.h"
#include "platform/dispatch_gate.h"

namespace launcher {

Forms& forms() {
    static Forms f;
    return f;
}

void unload_all_forms() {
    forms().test_info.unload();
    forms().shipai.unload();
    forms().main.unload();
    common::flush_unloads();
}

void on_click(QPushButton* button, common::Form*, const char* name, std::function<void()> handler) {
    common::connect_click(button, name, std::move(handler));
}

void keep_above_sign_in_window(common::Form* dialog) {
    frmMain* owner = forms().main.peek();
    if (!owner || owner == static_cast<QWidget*>(dialog)) return;
    // A transient window stays above its owner, so a modeless dialog cannot vanish behind
    // the full-screen sign-in window, yet it is no child that the owner would destroy.
    owner->winId();
    dialog->winId();
    if (dialog->windowHandle() && owner->windowHandle()) {
        dialog->windowHandle()->setTransientParent(owner->windowHandle());
    }
}

void centre_on_screen(common::Form* dialog, double width, double height) {
    double left = 0, top = 0;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        left = common::px_to_twips(g.left()) + (common::px_to_twips(g.width()) - width) / 2;
        top = common::px_to_twips(g.top()) + (common::px_to_twips(g.height()) - height) / 2;
    }
    dialog->move_twips(left, top, width, height);
}

void reset_mouse_pointer() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

}  // namespace launcher
