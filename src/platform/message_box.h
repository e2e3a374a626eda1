#pragma once
#include <string>

namespace platform {

enum class MbButtons { Ok, OkCancel, YesNo };
enum class MbIcon { None, Warning };
enum class MbResult { Ok, Cancel, Yes, No };

struct MessageBoxSpec {
    std::string text;   // lines joined by CR LF, shown as written
    std::string title;  // empty: the program's own title
    MbButtons buttons = MbButtons::Ok;
    MbIcon icon = MbIcon::Warning;
    MbResult default_button = MbResult::Ok;
    bool system_modal = false;  // above every window, not only ours
};

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Blocks until answered; dispatches events meanwhile like any modal dialog.
    // A Yes/No box cannot be dismissed without a choice.
    virtual MbResult show(const MessageBoxSpec& request) = 0;
};

}  // namespace platform
