#pragma once
// A desktop of scripted windows that records what was done to them. Lookups and the
// rhythm of close requests follow the real desktop's rules (platform::WindowRegistry).
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/window_registry.h"

namespace fakes {

// {id, class, title} and, where a test needs them, the instance, the delete protocol,
// whether it is ours, the window it is a dialog of and when it was first seen.
using DesktopWindow = platform::ClientWindow;

// Where place() put a window (it is then shown and out of the topmost band).
struct Placement {
    int x = 0, y = 0, width = 0, height = 0;
};

class FakeDesktop : public platform::Desktop {
public:
    platform::WindowId find_window(const std::string& window_class,
                                   const std::optional<std::string>& title) override;
    platform::WindowId find_window_to_close(const std::string& window_class,
                                            const std::optional<std::string>& title) override;
    // The focus lands in the window unless its id is in refuses_focus. A window on another
    // workspace than shown_workspace is not raised: no call is recorded.
    bool bring_to_front(platform::WindowId id) override;
    // Recorded only when the rules let the request go out.
    void request_close(platform::WindowId id) override;
    // Records the call; a scripted window with that id is placed. 0 and unknown ids change nothing.
    void place(platform::WindowId id, int x, int y, int width, int height) override;
    void set_topmost(QWidget* window, bool on) override;
    // The scripted frame, the same for every window.
    platform::FrameExtents frame_extents(QWidget*) override { return frame; }
    // Records the hints of each window, the last ones given.
    void set_window_hints(QWidget* window, const platform::WindowHints& h) override { hints[window] = h; }

    std::vector<DesktopWindow> windows;
    // When set, a window asked to close goes away, as a program that obeys would do.
    bool close_removes_window = false;
    std::set<platform::WindowId> refuses_focus;
    // The workspace on the screen (a window's is its `workspace`).
    uint32_t shown_workspace = platform::kEveryWorkspace;
    // The window that has the keyboard focus: the last one raised that took it.
    platform::WindowId focused = 0;
    // The desktop's clock in milliseconds, moved by the test.
    uint32_t now_ms = 0;

    // Every call in order: "find <class>|<title or *>" (for both lookups), "front <id>",
    // "close <id>", "place <id> <x>,<y> <width>x<height>", "topmost on" / "topmost off".
    std::vector<std::string> calls;
    // The scripted windows placed so far, by id.
    std::map<platform::WindowId, Placement> placements;
    // The last topmost state asked for each of our windows.
    std::map<QWidget*, bool> topmost;
    platform::FrameExtents frame;
    std::map<QWidget*, platform::WindowHints> hints;

private:
    void look(const std::string& window_class, const std::optional<std::string>& title);
    platform::WindowRegistry registry_;
};

}  // namespace fakes
