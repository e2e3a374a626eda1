#include "windows.h"

#include <QApplication>
#include <QPushButton>

#include "frm_main.h"
#include "frm_shipai.h"
#include "frm_test_info.h"
#include "icon.h"
#include "platform/dispatch_gate.h"
#include "platform/stacking.h"

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
    platform::stack_above(dialog, owner);
}

void make_dialog(common::Form* dialog, double width, double height) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog->set_control_box(false);
    dialog->set_show_in_taskbar(false);
    dialog->setWindowIcon(launcher_icon());
    dialog->setFixedSize(common::twips_to_px(width), common::twips_to_px(height));
    dialog->set_client_size(width, height);
    dialog->set_start_centred(true);
}

void reset_mouse_pointer() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

}  // namespace launcher
