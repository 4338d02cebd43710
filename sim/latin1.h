// Conversion between the plug-in's Latin-1 texts and the UTF-8 of scripts, dumps and terminals.
// Example:
//   std::string l1 = sim::utf8ToLatin1("Über");   // "\xDC" "ber"
//   std::cout << sim::latin1ToUtf8(l1);
#pragma once

#include <string>
#include <string_view>

namespace sim {

// Every byte becomes its code point, written as UTF-8.
std::string latin1ToUtf8(std::string_view latin1);

// Code points up to 255 become one byte; others become '?'. Bytes that are not valid UTF-8
// are taken as Latin-1 as they stand, so a Latin-1 script still works.
std::string utf8ToLatin1(std::string_view utf8);

}  // namespace sim
