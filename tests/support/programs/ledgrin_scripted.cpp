// The test build of the examination program: the shipped program, with its message boxes
// answered and logged through files that the test names (see scripted_message_box.h).
#include "ledgrin_program.h"
#include "support/scripted_message_box.h"

int main(int argc, char** argv) { return ledgrin::run(argc, argv, fakes::script_message_boxes); }
