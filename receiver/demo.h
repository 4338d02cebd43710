// The built-in demo (`receiver --demo DIR`, `make run`): the plug-in starts on the demo lineup
// with a fixed clock on a fresh disk DIR/disk whose settings file asks for the free-disk warning;
// the demo script (a text run by the script runner) takes screenshots into DIR.
// Example:
//   std::string err;
//   if (!rx::prepareDemoDisk("demo-out/disk", err)) std::cerr << err;
//   rx::parseScript(rx::demoScriptText(), "demo", script, errors);
#pragma once

#include <string>

namespace rx {

// The demo's clock at power-on (a Monday evening).
extern const char *const kDemoClock;

// The demo script.
const std::string &demoScriptText();

// Empties (or makes) the folder and writes the demo's settings file into it: 128 words of -512,
// the free-disk warning limit (byte offset 24) at 999 GB. False with a message.
bool prepareDemoDisk(const std::string &diskDir, std::string &error);

// The demo settings file's bytes.
std::string demoSettingsImage();

}  // namespace rx
