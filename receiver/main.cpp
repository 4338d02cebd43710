// The receiver program: the virtual receiver with the Dir'o ROD plug-in (see receiver/program.h).
#include <iostream>
#include <string>
#include <vector>

#include "receiver/program.h"

#ifndef DIRO_PLUGIN_IMAGE
#define DIRO_PLUGIN_IMAGE "Diro_ROD.tap"
#endif

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return rx::runProgram(args, DIRO_PLUGIN_IMAGE, std::cin, std::cout, std::cerr);
}
