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

struct ClientWindow {
    WindowId id = 0;
    std::string window_class{};  // WM_CLASS, class part
    std::string title{};         // _NET_WM_NAME, else WM_NAME, in UTF-8
    std::string instance{};      // WM_CLASS, instance part
    bool can_be_asked = true;  // WM_DELETE_WINDOW is among its protocols
    bool ours = false;         // one of this program's own windows
    WindowId transient_for = 0;  // the window whose dialog it is
    uint32_t seen_ms = 0;        // when the registry first saw it
};

class WindowRegistry {
public:
    // One request per window in this time at most: the program gets time to answer.
    static constexpr uint32_t kCloseIntervalMs = 200;

    // The windows now on the desktop, top of the stack first.
    void assign(const std::vector<ClientWindow>& windows);
    const ClientWindow* get(WindowId id) const;

    // First window that the listed class stands for (and that shows the folder, when a
    // title is given). Our own windows and the dialogs of other windows never match.
    WindowId find(const std::string& listed_class, const std::optional<std::string>& title) const;
    // The same among the windows that may be asked to close at now_ms.
    WindowId find_to_close(const std::string& listed_class, const std::optional<std::string>& title,
                           uint32_t now_ms) const;
    // Whether the window may be asked to close at now_ms: it has WM_DELETE_WINDOW, was
    // not asked in the last kCloseIntervalMs, and shows no dialog that came up after the
    // last request (its own question to its user, who is given the time to answer it).
    bool may_ask(WindowId id, uint32_t now_ms) const;
    void asked(WindowId id, uint32_t now_ms);

private:
    struct Known {
        ClientWindow window;
        ProgramIdentity identity;
    };
    bool matches(const Known& k, const std::optional<ProgramKind>& kind, const std::string& listed_class,
                 const std::optional<std::string>& title) const;
    WindowId first(const std::string& listed_class, const std::optional<std::string>& title,
                   const std::optional<uint32_t>& now_ms) const;

    std::vector<Known> known_;
    std::unordered_map<WindowId, uint32_t> last_asked_;
};

}  // namespace platform
