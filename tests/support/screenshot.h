#pragma once
// The one way tests take a screenshot: what the screen shows, read back from the display
// server, into the build tree's test-shots folder. A window given is taken alone (its
// contents as drawn on the screen); none, the whole screen with every program's windows and
// their frames, as a person at it sees them.
#include <string>

class QWidget;

namespace fakes {

bool save_screenshot(const std::string& file_name, QWidget* window = nullptr);

}  // namespace fakes
