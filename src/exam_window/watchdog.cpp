// The examination window's watchdog: closes the programs the candidate must not use.
#include <optional>
#include <string>

#include "common/key_stroke.h"
#include "frm_kaikei.h"
#include "platform/platform.h"

namespace exam_window {

using common::ignore_errors;

namespace {

constexpr int16_t kEscape = 27;

// Browser, text editor and the two mail programs: brought to the front, sent Esc (which
// dismisses an open menu or dialog of theirs) and asked to close. Each class stands for
// its kind of program (platform/program_kinds.h).
const char* const kForbiddenClasses[] = {"IEFrame", "Notepad", "rctrl_renwnd32", "Outlook Express Browser Class"};
// File-explorer windows on the launcher's and the result's folders: only asked to close.
const char* const kExplorerClass = "CabinetWClass";
const char* const kExplorerTitles[] = {"bramwick", "bramwick_result"};

}  // namespace

void frmKaikei::Timer2_Timer() {
    auto& desktop = *platform::current().desktop;
    // A window asked a moment ago is given time to answer: the lookup passes over it.
    for (const char* window_class : kForbiddenClasses) {
        platform::WindowId id = 0;
        ignore_errors([&] { id = desktop.find_window_to_close(window_class, std::nullopt); });
        if (id == 0) continue;
        bool focused = false;
        ignore_errors([&] { focused = desktop.bring_to_front(id); });
        // Typed input goes wherever the focus is: with the focus elsewhere (the window
        // manager has not given it yet, or refused, or has just given it to a window that
        // came up, or the target sits on another workspace and was not raised) the Esc
        // would reach the candidate's examination window or another program, so it is
        // typed only while the focus is in the target.
        if (focused) ignore_errors([&] { common::send_key_stroke_into(id, kEscape); });
        ignore_errors([&] { desktop.request_close(id); });
    }
    for (const char* title : kExplorerTitles) {
        platform::WindowId id = 0;
        ignore_errors([&] { id = desktop.find_window_to_close(kExplorerClass, std::string(title)); });
        if (id == 0) continue;
        ignore_errors([&] { desktop.request_close(id); });
    }
}

}  // namespace exam_window
