#pragma once
#include <string>

#include "platform/screen.h"

namespace common {

// The path with one '/' at its end.
std::string with_trailing_slash(std::string path);

// Desktop work area in pixels; four zeros when it cannot be told.
platform::Rect get_work_area();

// Folders under the user's temporary folder, each created (one level) when missing.
// They throw platform::Error when the folder cannot be created.
std::string get_work_folder();     // ".../quorvex/": holds setting.ini
std::string get_scratch_folder();  // ".../solvetta/": emptied at the end
std::string get_result_folder();   // ".../bramwick_result/": receives result.txt

// A folder under the temporary folder, created when missing.
std::string ensure_temp_subfolder(const std::string& name);

// Reads one key of the section "server" of setting.ini in the working folder, through the
// folder's descriptor as it was checked. A working folder that cannot be made, or that is
// not trusted, gives "" (the defaults).
std::string read_server_setting(const std::string& key);

}  // namespace common
