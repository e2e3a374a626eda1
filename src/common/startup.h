#pragma once
#include <string>

#include "platform/message_box.h"

namespace common {

inline const char* const kDefaultRegisterUrl = "https://exam.orvane.example/api/grade/register";
inline const char* const kDefaultResultUrl = "https://exam.orvane.example/api/grade/result";
inline const char* const kUserAgent = "orvanepc";
inline const char* const kDbPassword = "VtRqmdla_--_KpWe";
inline const char* const kProgramTitle = "OrvaneLedgrin";

// Shows a refusal and ends the program once it is closed.
void end_after_box(const platform::MessageBoxSpec& request);

// The refusals shared by both programs' start-up; each shows its box and ends the program.
void refuse_second_instance();
void refuse_unusable_lock(const std::string& path, const std::string& reason);
void refuse_screen();
// Refuses a folder the program cannot do without, naming it and, when known, the reason.
void refuse_folder(const std::string& title, const std::string& what, const std::string& folder,
                   const std::string& reason);
// Refuses to start unless the temporary folder, where all working folders live, can be
// named and trusted: nothing is read from it or written into it otherwise.
void require_base_folder();
// Takes the program's instance lock, or refuses: "2重起動エラー" only when another instance
// really holds it, a box of its own that names the file and the reason when it cannot be used.
void take_instance_lock(const std::string& program);
// True when the screen is at 96 DPI on both axes.
bool screen_is_96_dpi();

// Start-up of the examination program. argument_string is the text after the program's
// name. Returns after the main window has been shown; ends the program on a refusal.
void Main(const std::string& argument_string);

}  // namespace common
