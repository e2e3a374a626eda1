// The examination program on the real platform.
#include "ledgrin_program.h"

int main(int argc, char** argv) { return ledgrin::run(argc, argv, nullptr); }
