#include "dispatch_gate.h"

namespace platform {

namespace {
int g_depth = 0;
}

bool dispatch_blocked() { return g_depth > 0; }

DispatchBlock::DispatchBlock() { ++g_depth; }
DispatchBlock::~DispatchBlock() { --g_depth; }

}  // namespace platform
