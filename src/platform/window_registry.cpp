#include "window_registry.h"

#include <algorithm>

namespace platform {

namespace {

// Whether tick b is at or after tick a, across a wrap of the 32-bit count.
bool at_or_after(uint32_t b, uint32_t a) { return static_cast<int32_t>(b - a) >= 0; }

}  // namespace

void WindowRegistry::assign(const std::vector<ClientWindow>& windows) {
    known_.clear();
    known_.reserve(windows.size());
    for (const ClientWindow& w : windows) known_.push_back({w, identify_program(w.instance, w.window_class)});
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
    if (w.ours || w.transient_for != 0) return false;
    const bool of_kind = kind ? (k.identity.kinds & kind_bit(*kind)) != 0
                              : (w.window_class == listed_class || w.instance == listed_class);
    if (!of_kind) return false;
    return !title || title_shows_folder(w.title, *title, k.identity.folder_title_suffix);
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
    for (const Known& k : known_)
        if (k.window.transient_for == id && at_or_after(k.window.seen_ms, last->second)) return false;
    return true;
}

void WindowRegistry::asked(WindowId id, uint32_t now_ms) { last_asked_[id] = now_ms; }

}  // namespace platform
