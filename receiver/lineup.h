// Channel lists for the virtual receiver: the lineup file (one channel a line,
// `TV|name|service id|logical number|transponder[|XMLTV id]` or `RA|...`, `#` comments, UTF-8) and
// the built-in demo lineup of German, Austrian, Finnish and UK channels.
// Example:
//   std::vector<sim::Channel> lineup; std::string err;
//   if (!rx::parseLineup("TV|Das Erste HD|28106|1|1\n", "mine.txt", lineup, err)) std::cerr << err;
//   std::vector<sim::Channel> demo = rx::demoLineup();   // 40 TV, 10 radio
#pragma once

#include <string>
#include <vector>

#include "sim/channels.h"

namespace rx {

// Parses a lineup text; false with "source:line: why" for the first bad line. Names are taken
// as UTF-8 (Latin-1 bytes are kept as they are) and stored in Latin-1.
bool parseLineup(const std::string &text, const std::string &source, std::vector<sim::Channel> &out,
                 std::string &error);
bool readLineupFile(const std::string &path, std::vector<sim::Channel> &out, std::string &error);

// The lineup text of the demo and the channels it gives.
const std::string &demoLineupText();
std::vector<sim::Channel> demoLineup();

}  // namespace rx
