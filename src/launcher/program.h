#pragma once
// The launcher from its command line to its end, shared by its main and by the test build
// of the program.
#include "common/program.h"

namespace launcher {

int run(int argc, char** argv, const common::PlatformAdjust& adjust);

}  // namespace launcher
