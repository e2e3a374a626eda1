#include "message_boxes.h"

#include <utility>

#include "forms.h"
#include "platform/platform.h"

namespace common {

platform::MessageBoxSpec box(std::string text, std::string title, platform::MbButtons buttons,
                             platform::MbIcon icon, platform::MbResult default_button, bool system_modal) {
    platform::MessageBoxSpec s;
    s.text = std::move(text);
    s.title = std::move(title);
    s.buttons = buttons;
    s.icon = icon;
    s.default_button = default_button;
    s.system_modal = system_modal;
    return s;
}

platform::MbResult show_box(const platform::MessageBoxSpec& request, platform::MbResult if_not_shown) {
    platform::MbResult answer = if_not_shown;
    ignore_errors([&] { answer = platform::current().message_box->show(request); });
    return answer;
}

}  // namespace common
