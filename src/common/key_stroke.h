#pragma once
// Key strokes typed on the candidate's behalf into whatever window has the focus.
#include <cstdint>
#include <optional>

namespace common {

// Presses and releases key; with key2, key2 is typed while key is held (a shortcut such as
// Alt and a letter). Both are virtual-key codes 0 to 255; a code outside that range throws
// std::out_of_range before any event is sent, so no key is ever left pressed.
void send_key_stroke(int16_t key, std::optional<int32_t> key2 = std::nullopt);

// The same stroke of one key, sent only while the keyboard focus is in that window or one
// of its dialogs (KeySender::stroke_into); false when it was not sent.
bool send_key_stroke_into(uint64_t window, int16_t key);

}  // namespace common
