#pragma once
// What the main of either program does around its own start: the argument string, Qt, the
// real platform, the end of the program when its last window goes, and an error that gets
// out of the start reported instead of aborting the program.
#include <functional>
#include <string>

namespace platform {
struct Platform;
}

namespace common {

// The argument string: every text after the program's name, joined by one blank.
std::string argument_string(int argc, char** argv);

// Changes the real platform before the program starts; test builds of the programs use
// it to answer their message boxes. default_title: the program's message-box title.
using PlatformAdjust = std::function<void(platform::Platform& p, const std::string& default_title)>;

// Takes the argument string before Qt sees the command line, then gives Qt the program's
// name alone: no text a candidate's start passes is ever taken as one of Qt's options.
// Runs start with the argument string and then the event loop while a window is loaded.
// An error that leaves start is written to stderr and the program ends with status 1.
int run_program(int argc, char** argv, const std::string& default_title, const PlatformAdjust& adjust,
                const std::function<void(const std::string& arguments)>& start);

}  // namespace common
