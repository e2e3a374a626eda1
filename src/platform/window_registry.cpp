#include "window_registry.h"

#include <algorithm>
#include <unordered_set>

namespace platform {

namespace {

// Whether tick b is at or after tick a, across a wrap of the 32-bit count.
bool at_or_after(uint32_t b, uint32_t a) { return static_cast<int32_t>(b - a) >= 0; }

}  // namespace

void WindowRegistry::assign(const std::vector<ClientWindow>& windows, uint32_t shown_workspace) {
    shown_workspace_ = shown_workspace;
    known_.clear();
    known_.reserve(windows.size());
    std::unordered_set<WindowId> ids;
    for (const ClientWindow& w : windows) {
        known_.push_back({w, identify_program(w.instance, w.window_class)});
        ids.insert(w.id);
    }
    for (Known& k : known_)
        k.dialog = k.window.transient_for != 0 && k.window.transient_for != k.window.id &&
                   ids.count(k.window.transient_for) != 0;
    // A window that has gone takes its rhythm with it: its id may come back on another one.
    std::erase_if(last_asked_, [this](const auto& entry) { return get(entry.first) == nullptr; });
}

const ClientWindow* WindowRegistry::get(WindowId id) const {
    for (const Known& k : known_)
        if (k.window.id == id) return &k.window;
    return nullptr;
}

bool WindowRegistry::matches(const Known& k, const std::optional<ProgramKind>& kind,
                             const std::string& listed_class, const std::optional<std::string>& title) const {
    const ClientWindow& w = k.window;
    if (w.ours || k.dialog) return false;
    const bool of_kind = kind ? (k.identity.kinds & kind_bit(*kind)) != 0
                              : (w.window_class == listed_class || w.instance == listed_class);
    if (!of_kind) return false;
    return !title || title_shows_folder(w.title, *title, k.identity.folder_title);
}

WindowId WindowRegistry::first(const std::string& listed_class, const std::optional<std::string>& title,
                               const std::optional<uint32_t>& now_ms) const {
    const std::optional<ProgramKind> kind = kind_of_listed_class(listed_class);
    for (const Known& k : known_) {
        if (!matches(k, kind, listed_class, title)) continue;
        if (now_ms && !may_ask(k.window.id, *now_ms)) continue;
        return k.window.id;
    }
    return 0;
}

WindowId WindowRegistry::find(const std::string& listed_class, const std::optional<std::string>& title) const {
    return first(listed_class, title, std::nullopt);
}

WindowId WindowRegistry::find_to_close(const std::string& listed_class, const std::optional<std::string>& title,
                                       uint32_t now_ms) const {
    return first(listed_class, title, now_ms);
}

bool WindowRegistry::may_ask(WindowId id, uint32_t now_ms) const {
    const ClientWindow* w = get(id);
    if (!w || !w->can_be_asked) return false;
    const auto last = last_asked_.find(id);
    if (last == last_asked_.end()) return true;
    if (now_ms - last->second < kCloseIntervalMs) return false;
    if (now_ms - last->second >= kHeldBackMs) return true;
    for (const Known& k : known_)
        if (k.window.transient_for == id && at_or_after(k.window.seen_ms, last->second)) return false;
    return true;
}

void WindowRegistry::asked(WindowId id, uint32_t now_ms) { last_asked_[id] = now_ms; }

bool WindowRegistry::on_other_workspace(WindowId id) const {
    const ClientWindow* w = get(id);
    return w && shown_workspace_ != kEveryWorkspace && w->workspace != kEveryWorkspace &&
           w->workspace != shown_workspace_;
}

}  // namespace platform
