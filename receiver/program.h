// The receiver program as a function: options, lineup, script or demo, the virtual receiver, and
// the exit code (0 every expect held, 1 an expect failed, 2 a bad option, script line or image).
// Example:
//   int rc = rx::runProgram({"--script", "-"}, DIRO_PLUGIN_IMAGE, std::cin, std::cout, std::cerr);
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rx {

int runProgram(const std::vector<std::string> &args, const std::string &builtInImage, std::istream &in,
               std::ostream &out, std::ostream &err);

}  // namespace rx
