// The test build of the launcher: the shipped launcher, with its message boxes answered and
// logged through files that the test names (see scripted_message_box.h).
#include "launcher/program.h"
#include "support/scripted_message_box.h"

int main(int argc, char** argv) { return launcher::run(argc, argv, fakes::script_message_boxes); }
