#include "support/fake_desktop.h"

#include <algorithm>

namespace fakes {

void FakeDesktop::look(const std::string& window_class, const std::optional<std::string>& title) {
    calls.push_back("find " + window_class + "|" + (title ? *title : std::string("*")));
    registry_.assign(windows, shown_workspace);
}

platform::WindowId FakeDesktop::find_window(const std::string& window_class,
                                            const std::optional<std::string>& title) {
    look(window_class, title);
    return registry_.find(window_class, title);
}

platform::WindowId FakeDesktop::find_window_to_close(const std::string& window_class,
                                                     const std::optional<std::string>& title) {
    look(window_class, title);
    return registry_.find_to_close(window_class, title, now_ms);
}

bool FakeDesktop::bring_to_front(platform::WindowId id) {
    registry_.assign(windows, shown_workspace);
    if (registry_.on_other_workspace(id)) return false;
    calls.push_back("front " + std::to_string(id));
    if (refuses_focus.count(id)) return false;
    focused = id;
    return true;
}

void FakeDesktop::request_close(platform::WindowId id) {
    registry_.assign(windows, shown_workspace);
    if (!registry_.may_ask(id, now_ms)) return;
    registry_.asked(id, now_ms);
    calls.push_back("close " + std::to_string(id));
    if (close_removes_window)
        windows.erase(std::remove_if(windows.begin(), windows.end(),
                                     [id](const DesktopWindow& w) { return w.id == id; }),
                      windows.end());
}

void FakeDesktop::place(platform::WindowId id, int x, int y, int width, int height) {
    calls.push_back("place " + std::to_string(id) + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                    std::to_string(width) + "x" + std::to_string(height));
    if (id == 0) return;
    for (const DesktopWindow& w : windows)
        if (w.id == id) placements[id] = Placement{x, y, width, height};
}

void FakeDesktop::set_topmost(QWidget* window, bool on) {
    calls.push_back(on ? "topmost on" : "topmost off");
    topmost[window] = on;
}

}  // namespace fakes
