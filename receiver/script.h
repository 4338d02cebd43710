// The receiver's script language: one command a line, `#` comments, parsed completely before
// anything runs, then run against a sim::Receiver. Commands: key, hold, wait, clock, tune, state,
// restart, snap, dump screen, dump settings, dump guide, expect screen / no-screen / file / no-file,
// record, record-stop, add-timer, dump timers, dump recordings, expect timers, put (a file into
// the plug-in's folder, its lines following up to "end"), expect shown / no-shown.
// Example:
//   rx::Script s; std::vector<std::string> errors;
//   if (rx::parseScript("key GUIDE\nwait 2s\nexpect screen \"Guide\"\n", "t.rod", s, errors))
//       int rc = rx::runScript(s, receiver, {});   // 0 all expects held, 1 one failed, 2 an error
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace sim {
class Channels;
class Receiver;
}

namespace rx {

enum class Op {
    Key, Hold, Wait, Clock, Tune, State, Restart, Snap, DumpScreen, DumpSettings, DumpGuide,
    ExpectScreen, ExpectNoScreen, ExpectFile, ExpectNoFile, Record, RecordStop,
    AddTimer, DumpTimers, DumpRecordings, ExpectTimers, Put, ExpectShown, ExpectNoShown
};

struct Command {
    Op op = Op::Wait;
    int line = 0;
    std::string source;      // the line as written (for messages)
    uint32_t key = 0;        // Key, Hold
    int count = 1;           // Key: presses; ExpectTimers: timers
    int64_t ms = 0;          // Hold, Wait: duration; Clock: local time
    int svcType = 0, svcNum = 0;        // Tune, DumpGuide, Record, RecordStop (svcNum -1: all)
    uint32_t mainState = 0, subState = 0;  // State
    std::string arg;         // Snap, Dump*: file ("-" stdout); Expect*: text (UTF-8) or file name;
                             // AddTimer: the name (UTF-8), "" the channel's name + ".rec"
    // AddTimer: svcType, svcNum, ms the start; and these.
    int minutes = 0;
    bool isRec = true;       // a recording timer, else "-P-"
    int tuner = 3;           // 0, 1 or 3
    int mode = 0;            // 0 OT, 1 ED, 2 WE, 3 WL, 4 WD
    std::string text;        // Put: the file's bytes (arg is its name)
};

struct Script {
    std::string name;        // for messages: the file name, "-" or "demo"
    std::vector<Command> commands;
};

// Parses a whole script; false with one "name:line: why" message per bad line.
bool parseScript(const std::string &text, const std::string &name, Script &out, std::vector<std::string> &errors);

// The commands that name a channel (tune, dump guide) checked against a lineup: one
// "name:line: why" message for each channel the lineup lacks.
std::vector<std::string> checkScriptChannels(const Script &script, const sim::Channels &channels);

// The message for a channel the lineup lacks: "there is no such channel: the lineup has ...".
std::string noSuchChannel(const sim::Channels &channels, int svcType);

// A key name of the script language (OK, EXIT, <<, 0x1001E, ...); false when unknown.
bool keyCode(const std::string &name, uint32_t &code);
// The names of the remote's keys, one per key (REWIND, not its alias <<), in the table's order.
std::vector<std::string> keyNames();
// The longest a script lets time pass in one command.
constexpr int64_t kMaxWaitMs = 366LL * 24 * 3600000;
// "500ms", "3s", "20m", "2h" (a bare number is seconds); false when malformed or, when limited,
// longer than kMaxWaitMs.
bool parseDuration(const std::string &text, int64_t &ms, bool limited = true);

struct RunSettings {
    std::string outputDir;   // relative snap/dump paths are taken from here ("" the current folder)
    std::ostream *out = nullptr;  // paths written, dumps to "-" (default std::cout)
    std::ostream *err = nullptr;  // progress and errors (default std::cerr)
};

// Runs a parsed script: 0 every expect held, 1 an expect failed (all failures are reported, the
// script runs on), 2 a command could not be carried out (the script stops there).
int runScript(const Script &script, sim::Receiver &rx, const RunSettings &settings);

// The screen's visible texts, one a line: x y size fg bg "text" (UTF-8).
std::string screenTextDump(sim::Receiver &rx);
// The settings file as 128 lines "offset value"; false with a message when it cannot be read.
bool settingsDump(sim::Receiver &rx, std::string &dump, std::string &error);
// What the firmware broadcasts for a channel now (as TAP_GetEvent would hand it over, without
// counting a request), one event a line in the form of the buffer dump (receiver/buffer_dump.h),
// the channel's service number first.
std::string guideDump(sim::Receiver &rx, int svcType, int svcNum);

}  // namespace rx
