#include "install.h"

namespace exam_window {

void install() {}

}  // namespace exam_window
