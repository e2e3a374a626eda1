#include "module1.h"

namespace launcher {

namespace {
Module1 g_state;
}

Module1& state() { return g_state; }

void reset_state() { g_state = Module1{}; }

}  // namespace launcher
