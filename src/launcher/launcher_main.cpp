// The launcher on the real platform; it lives on in the sign-in window.
#include "launcher/program.h"

int main(int argc, char** argv) { return launcher::run(argc, argv, nullptr); }
