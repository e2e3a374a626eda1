#pragma once
// Records key strokes instead of sending them.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop.h"

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

    // "down 27", "up 27", ... in order.
    std::vector<std::string> trace() const {
        std::vector<std::string> out;
        for (const KeyEvent& e : events) out.push_back((e.down ? "down " : "up ") + std::to_string(e.key));
        return out;
    }

    std::vector<KeyEvent> events;
};

}  // namespace fakes
