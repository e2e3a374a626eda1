#pragma once
// The examination program from its command line to its end, shared by its main and by
// the test build of the program.
#include "common/program.h"

namespace ledgrin {

int run(int argc, char** argv, const common::PlatformAdjust& adjust);

}  // namespace ledgrin
