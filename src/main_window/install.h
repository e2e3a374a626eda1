#pragma once

namespace main_window {

// Wires the main window into the window directory of the program.
void install();

}  // namespace main_window
