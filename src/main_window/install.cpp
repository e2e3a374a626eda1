#include "install.h"

#include "common/windows.h"
#include "frm_main.h"

namespace main_window {

void install() {
    auto& w = common::windows();
    w.main_window = []() -> common::MainWindowApi& { return main_form().get(); };
    w.show_main_window = [] {
        main_form().get();
        // A load that ended in the failure dialog's "中断" has unloaded the window again.
        if (frmMain* f = main_form().peek()) f->show_modeless();
    };
}

}  // namespace main_window
