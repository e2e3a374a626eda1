#pragma once
// Records key strokes instead of sending them.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/platform.h"
#include "support/fake_desktop.h"

namespace fakes {

struct KeyEvent {
    uint8_t key = 0;
    bool down = false;
    bool operator==(const KeyEvent&) const = default;
};

class FakeKeySender : public platform::KeySender {
public:
    void key_down(uint8_t virtual_key) override { events.push_back({virtual_key, true}); }
    void key_up(uint8_t virtual_key) override { events.push_back({virtual_key, false}); }
    // Typed only while the focus is in that window, as the current platform's fake desktop
    // keeps it; with no fake desktop to say where the focus is, nothing is typed.
    bool stroke_into(platform::WindowId window, uint8_t virtual_key) override {
        if (window == 0 || focused_window() != window) return false;
        key_down(virtual_key);
        key_up(virtual_key);
        return true;
    }

    // "down 27", "up 27", ... in order.
    std::vector<std::string> trace() const {
        std::vector<std::string> out;
        for (const KeyEvent& e : events) out.push_back((e.down ? "down " : "up ") + std::to_string(e.key));
        return out;
    }

    std::vector<KeyEvent> events;

    static platform::WindowId focused_window() {
        const auto* desktop = dynamic_cast<const FakeDesktop*>(platform::current().desktop.get());
        return desktop ? desktop->focused : 0;
    }
};

}  // namespace fakes
