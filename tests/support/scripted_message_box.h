#pragma once
// Message boxes of a whole program that a test runs (the test builds of the programs): no
// box is shown. Each box takes the first non-blank line of the script file as its answer
// ("Ok", "Cancel", "Yes" or "No", in any letter case) and the line is removed, so a program
// started by another one goes on with the next answer. Each box appends one line to the log:
//   <title> TAB <text, CR LF written as \r\n, backslash as \\> TAB <answer> LF
// A script that cannot be read or written, that has run out or whose answer the box does
// not offer throws platform::Error: the run fails, and says why, instead of going on.
#include <memory>
#include <string>

#include "platform/message_box.h"

namespace platform {
struct Platform;
}

namespace fakes {

class ScriptedMessageBox : public platform::MessageBox {
public:
    ScriptedMessageBox(std::string default_title, std::string script_path, std::string log_path);
    platform::MbResult show(const platform::MessageBoxSpec& request) override;

private:
    std::string default_title_, script_path_, log_path_;
};

// The platform change of the test builds: when LEDGRIN_MSGBOX_SCRIPT names a file, the
// program's message boxes are scripted ones, logged to LEDGRIN_MSGBOX_LOG when it is set.
void script_message_boxes(platform::Platform& p, const std::string& default_title);

}  // namespace fakes
