#pragma once

namespace main_window {

class frmMain;

// The stage "登録": checks the registration form, confirms the details, registers the
// candidate and shows the start page. Every way it stops short (an input error, "訂正", no
// answer, a refusal, question pages that cannot be built) leaves the form on the page and
// the caption "登録"; an answer whose first field holds "NG" ends the program.
void register_stage(frmMain& form);

}  // namespace main_window
