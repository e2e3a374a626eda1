#include "install.h"

namespace main_window {

void install() {}

}  // namespace main_window
