#pragma once

namespace exam_window {

// Wires the examination window into the window directory of the program.
void install();

}  // namespace exam_window
