#include "key_stroke.h"

#include <stdexcept>

#include "platform/platform.h"

namespace common {

namespace {

uint8_t virtual_key(int32_t code) {
    if (code < 0 || code > 255) throw std::out_of_range("virtual-key code out of range");
    return static_cast<uint8_t>(code);
}

}  // namespace

void send_key_stroke(int16_t key, std::optional<int32_t> key2) {
    const uint8_t first = virtual_key(key);
    // The second code is checked before the first key goes down: a failure half way
    // would leave the first key held.
    const std::optional<uint8_t> second = key2 ? std::optional<uint8_t>(virtual_key(*key2)) : std::nullopt;

    auto& keys = *platform::current().keys;
    keys.key_down(first);
    if (second) {
        keys.key_down(*second);
        keys.key_up(*second);
    }
    keys.key_up(first);
}

bool send_key_stroke_into(uint64_t window, int16_t key) {
    const uint8_t code = virtual_key(key);
    return platform::current().keys->stroke_into(window, code);
}

}  // namespace common
