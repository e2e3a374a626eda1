#pragma once
// The launcher's window icon: a ledger page with a check mark on a teal tile, drawn here
// at each of its fifteen sizes from 16 x 16 to 256 x 256 pixels.
#include <QIcon>
#include <array>
#include <memory>

#include "platform/message_box.h"

class QWidget;

namespace launcher {

inline constexpr std::array<int, 15> kIconSizes{16, 20, 24, 30, 32, 36, 40, 48, 60, 64, 72, 80, 96, 128, 256};

const QIcon& launcher_icon();

// Gives every window of the launcher its icon, those already shown and those to come
// (the application's icon); once is enough.
void use_launcher_icon();

// The fifteen images take a while to draw and to send to the display, and nothing on the
// screen shows them: the sign-in window gets them once it has been drawn, so that they
// never hold back its first picture.
void use_launcher_icon_once_drawn(QWidget* window);

// Message boxes that carry the icon even when they come before the sign-in window (the
// refusals of the start).
std::unique_ptr<platform::MessageBox> with_launcher_icon(std::unique_ptr<platform::MessageBox> boxes);

}  // namespace launcher
