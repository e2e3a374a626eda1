#pragma once
// The top-level windows of other programs as the desktop backend knows them, and the rules
// by which a lookup picks one: what kind of program it is, which windows are passed over,
// and how often one window may be asked to close. Kept apart from X so that the fake
// desktop of the tests follows the same rules.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "desktop.h"
#include "program_kinds.h"

namespace platform {

// The _NET_WM_DESKTOP of a window shown on every workspace.
constexpr uint32_t kEveryWorkspace = 0xFFFFFFFFu;

struct ClientWindow {
    WindowId id = 0;
    std::string window_class{};  // WM_CLASS, class part
    std::string title{};         // _NET_WM_NAME, else WM_NAME, in UTF-8
    std::string instance{};      // WM_CLASS, instance part
    bool can_be_asked = true;  // WM_DELETE_WINDOW is among its protocols
    bool ours = false;         // one of this program's own windows
    WindowId transient_for = 0;  // WM_TRANSIENT_FOR: the window whose dialog it says it is
    uint32_t seen_ms = 0;        // when the registry first saw it
    uint32_t workspace = kEveryWorkspace;  // _NET_WM_DESKTOP; kEveryWorkspace also when unset
};

class WindowRegistry {
public:
    // One request per window in this time at most: the program gets time to answer.
    static constexpr uint32_t kCloseIntervalMs = 200;
    // A question a program puts to its user after a request holds the next request back
    // this long at most: a program may answer with a box it then leaves open.
    static constexpr uint32_t kHeldBackMs = 2000;

    // The windows now on the desktop, top of the stack first, and the workspace shown
    // (kEveryWorkspace where the window manager keeps none).
    void assign(const std::vector<ClientWindow>& windows, uint32_t shown_workspace = kEveryWorkspace);
    const ClientWindow* get(WindowId id) const;

    // First window that the listed class stands for (and that shows the folder, when a
    // title is given). Our own windows and the dialogs of other windows never match.
    WindowId find(const std::string& listed_class, const std::optional<std::string>& title) const;
    // The same among the windows that may be asked to close at now_ms.
    WindowId find_to_close(const std::string& listed_class, const std::optional<std::string>& title,
                           uint32_t now_ms) const;
    // Whether the window may be asked to close at now_ms: it has WM_DELETE_WINDOW, was
    // not asked in the last kCloseIntervalMs, and, within kHeldBackMs of the last request,
    // shows no dialog that came up after it (its own question to its user, who is given
    // the time to answer it).
    bool may_ask(WindowId id, uint32_t now_ms) const;
    void asked(WindowId id, uint32_t now_ms);
    // Whether the window sits on a workspace other than the one shown: raising it would
    // make the window manager switch the candidate's workspace to it.
    bool on_other_workspace(WindowId id) const;

private:
    struct Known {
        ClientWindow window;
        ProgramIdentity identity;
        // A dialog of another window here. A window that names the root or a window of
        // no program as its owner (a parentless Qt dialog names its group leader, which is
        // never shown) is a main window of its own.
        bool dialog = false;
    };
    bool matches(const Known& k, const std::optional<ProgramKind>& kind, const std::string& listed_class,
                 const std::optional<std::string>& title) const;
    WindowId first(const std::string& listed_class, const std::optional<std::string>& title,
                   const std::optional<uint32_t>& now_ms) const;

    std::vector<Known> known_;
    std::unordered_map<WindowId, uint32_t> last_asked_;
    uint32_t shown_workspace_ = kEveryWorkspace;
};

}  // namespace platform
