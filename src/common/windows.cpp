#include "windows.h"

namespace common {

namespace {
WindowDirectory g_windows;
MainWindowValues g_main_values;
}  // namespace

WindowDirectory& windows() { return g_windows; }
MainWindowValues& main_values() { return g_main_values; }
void reset_main_values() { g_main_values = MainWindowValues{}; }

}  // namespace common
