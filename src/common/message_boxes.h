#pragma once
// Message boxes as the windows' code asks for them: every field of a request named at the
// call, and a show whose failure falls back on an answer the caller chose.
#include <string>

#include "platform/message_box.h"

namespace common {

platform::MessageBoxSpec box(std::string text, std::string title, platform::MbButtons buttons,
                             platform::MbIcon icon, platform::MbResult default_button, bool system_modal);

// A box that cannot be shown answers if_not_shown, so a broken box never stands for a choice
// the candidate did not make.
platform::MbResult show_box(const platform::MessageBoxSpec& request, platform::MbResult if_not_shown);

}  // namespace common
