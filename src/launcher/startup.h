#pragma once
#include <string>

namespace launcher {

// Start-up of the launcher: the checks of the system, the screen and a second instance,
// the settings and folders, then the sign-in window. Ends the program on a refusal.
void Main();

// The folder where downloaded examination programs are kept, with its subfolder "data".
// Returns the path ending in "/" even when the folders cannot be made: what needs them
// then fails with its own message.
std::string get_program_folder();

// The refusal of a system older than the launcher needs; shows its box and ends the program.
void refuse_os_version();

}  // namespace launcher
