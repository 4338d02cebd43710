// The built-in demo (`receiver --demo DIR`, `make run`): the plug-in starts on the demo lineup
// with a fixed clock on a fresh disk DIR/disk (files of an earlier demo are replaced, a folder
// holding others is refused) whose settings file asks for the free-disk warning;
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

// Makes the folder, or empties it of what an earlier demo wrote there, and writes the demo's
// settings file into it: 128 words of -512, the free-disk warning limit (byte offset 24) at
// 999 GB. A folder that holds anything else is left alone: false with a message naming it. When
// files of an earlier demo go, `replaced` says how many ("" none).
bool prepareDemoDisk(const std::string &diskDir, std::string &error, std::string *replaced = nullptr);

// The demo settings file's bytes.
std::string demoSettingsImage();

}  // namespace rx
