#include "state.h"

namespace common {

namespace {
Module1 g_state;
}

Module1& state() { return g_state; }

void reset_state() { g_state = Module1{}; }

}  // namespace common
