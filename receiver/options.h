// The receiver program's command line: where the disk is, which channels exist, the clock and
// channel at power-on, the OSD language, the free disk space, the plug-in image, the broadcast
// guide (a file or the demo guide, the local time zone, what the firmware knows of it), and what
// to run (a script, the built-in demo, the dump of a buffer file, or a buffer file as XMLTV).
// Example:
//   rx::Options opt;  std::string err;
//   rx::OptionsResult r = rx::parseOptions({"--disk", "d", "--script", "-"}, opt, err);
//   // r == rx::OptionsResult::Run, opt.script == "-"
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "receiver/zone.h"

namespace rx {

struct Options {
    std::string disk = "./receiver-disk";
    std::string lineupFile;          // "" the built-in demo lineup
    bool clockGiven = false;
    int64_t clockMs = 0;             // local time at power-on (when given), one the firmware can hold
    int svcType = 0, svcNum = 0;     // tuned at power-on
    int osdLanguage = 0;
    uint32_t freeMb = 500000;
    std::string script;              // a file, or "-" for standard input
    std::string demoDir;
    std::string plugin;              // "" the default image
    std::string guideFile;           // XMLTV guide; "" the demo guide
    bool guideShiftAuto = false;     // move the guide by whole days so that it starts today
    int guideShiftDays = 0;          // else move it by this many days
    Zone zone = Zone::host();        // the receiver's local time
    bool tzFromGuide = false;        // take the offset of the guide's first programme
    bool channelGiven = false;       // --channel was given
    bool eitTransponder = false;     // the firmware knows full schedules only of tuned transponders
    std::string dumpBuffer;          // a buffer file (or its folder) to print
    std::string bufferToXmltv;       // a buffer file (or its folder) to write as an XMLTV guide ...
    std::string xmltvOut;            // ... into this file ("-" standard output)
    bool help = false;
    int servePort = -1;              // --serve: the page's port (0 any free one), -1 no page
    std::string serveAddr = "127.0.0.1";  // --serve-addr: the address the page is served on
    bool serveAddrGiven = false;
};

// NothingToRun: neither --script nor --demo nor --dump-buffer nor --buffer-to-xmltv (the caller
// shows the usage).
// Serve: the receiver runs on its own clock and is driven from a page in the browser (--serve).
enum class OptionsResult { Run, Help, Error, NothingToRun, DumpBuffer, BufferToXmltv, Serve };

OptionsResult parseOptions(const std::vector<std::string> &args, Options &out, std::string &error);

// "tv:N" or "ra:N"; false when malformed.
bool parseChannelRef(const std::string &text, int &svcType, int &svcNum);

// The usage text (--help).
std::string usage();

// The plug-in image to load when none is given: Diro_ROD.tap beside the running program if
// there is one, else the image the program was built with.
std::string defaultPluginPath(const std::string &builtWith);

}  // namespace rx
