#pragma once
// The launcher's default instances and the wiring its forms share.
#include <functional>

#include "common/forms.h"

class QPushButton;

namespace launcher {

class frmMain;
class frmShipai;
class frmTestInfo;

struct Forms {
    common::DefaultInstance<frmMain> main;
    common::DefaultInstance<frmShipai> shipai;
    common::DefaultInstance<frmTestInfo> test_info;
};

Forms& forms();

// Unloads every loaded form and destroys them (tests, between cases).
void unload_all_forms();

// Runs a click handler of a form as the loop would: not while a facility call holds the
// dispatch gate, not once the form has been unloaded, errors written to stderr.
void on_click(QPushButton* button, common::Form* form, const char* name, std::function<void()> handler);

// Keeps a dialog above the sign-in window, whether it is shown modal or not.
void keep_above_sign_in_window(common::Form* dialog);

// The launcher's dialogs: fixed dialog border of the given inner size (twips), a title bar
// without any button, no taskbar entry, the launcher's icon, centred when shown.
void make_dialog(common::Form* dialog, double width, double height);

// The screen's mouse pointer back to the default one.
void reset_mouse_pointer();

}  // namespace launcher
