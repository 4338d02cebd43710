// The receiver program's command line (see options.h).
#include "receiver/options.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "receiver/guide.h"
#include "sim/clock.h"

namespace rx {

namespace {
bool parseInt(const std::string &s, long long lo, long long hi, long long &out) {
    if (s.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi)
        return false;
    out = v;
    return true;
}
}  // namespace

bool parseChannelRef(const std::string &text, int &svcType, int &svcNum) {
    size_t colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    std::string kind = text.substr(0, colon);
    long long n = 0;
    if (!parseInt(text.substr(colon + 1), 0, 65535, n))
        return false;
    if (kind == "tv" || kind == "TV")
        svcType = 0;
    else if (kind == "ra" || kind == "RA" || kind == "radio")
        svcType = 1;
    else
        return false;
    svcNum = static_cast<int>(n);
    return true;
}

std::string usage() {
    return "usage: receiver [options] --script FILE|-\n"
           "       receiver [options] --demo DIR\n"
           "       receiver [options] --serve PORT [--serve-addr ADDR]\n"
           "       receiver --dump-buffer FILE|DIR\n"
           "       receiver --buffer-to-xmltv FILE|DIR OUT.xml [--tz ZONE]\n"
           "The virtual receiver: loads the Dir'o ROD plug-in image as the firmware does and drives it.\n"
           "  --script FILE     run a script (- reads standard input); exit 0 when every expect held,\n"
           "                    1 when one failed, 2 for a bad option or script line\n"
           "  --demo DIR        run the built-in demo on a fresh disk DIR/disk, screenshots into DIR\n"
           "  --serve PORT      run the receiver on its own clock and serve its page on 127.0.0.1:PORT\n"
           "                    (the next free port when PORT is taken; 0 any free port); its address is\n"
           "                    printed; Ctrl-C stops it\n"
           "  --serve-addr ADDR serve the page on ADDR instead (0.0.0.0: every interface; anyone who\n"
           "                    reaches it can press keys, read and drop files, power-cycle the receiver)\n"
           "  --disk DIR        the plug-in's folder (created if missing; default ./receiver-disk)\n"
           "  --lineup FILE     channel list: TV|name|service id|logical number|transponder[|XMLTV id]\n"
           "                    or RA|..., # comments (default: the built-in demo lineup)\n"
           "  --clock \"YYYY-MM-DD HH:MM[:SS]\"  clock at power-on, 1858-11-17 to 2038-04-22 (default:\n"
           "                    now in the receiver's zone, see --tz)\n"
           "  --channel tv:N|ra:N  channel tuned at power-on (default tv:0)\n"
           "  --osd-language N  the receiver's OSD language (0 English, 2 German, 15 Finnish; default 0)\n"
           "  --free-mb N       free disk space reported, in MB (default 500000)\n"
           "  --plugin PATH     the plug-in image (default Diro_ROD.tap beside this program)\n"
           "  --guide FILE      the broadcast guide, an XMLTV file (UTF-8 or ISO-8859-1); without --lineup\n"
           "                    its channels are the lineup. Default: the built-in demo guide, 8 days for\n"
           "                    every channel of the lineup\n"
           "  --guide-shift auto|N  move the guide by whole days: auto so that it starts on the clock's day\n"
           "  --tz ZONE|+hhmm|guide  the receiver's local time: a zone of the system's time-zone data with\n"
           "                    its summer time (Europe/Berlin, Europe/Helsinki), an offset from UTC, or\n"
           "                    guide: the offset of the guide's first programme (default: the host's zone)\n"
           "  --eit all|transponder  what the firmware knows: all, every channel's schedule (default);\n"
           "                    transponder, a channel's whole schedule only once its transponder was tuned\n"
           "                    for 10 s, else its running and next event\n"
           "  --dump-buffer FILE|DIR  print the plug-in's buffer file (Diro_ROD.BufferExt.DAT, or the one in\n"
           "                    DIR) as text, one event a line:\n"
           "                    slot|channel|start YYYY-MM-DD HH:MM|end|title|short info|long info\n"
           "                    (exit 2 when it is missing or damaged)\n"
           "  --buffer-to-xmltv FILE|DIR OUT.xml  write the plug-in's buffer file (or the one in DIR) as\n"
           "                    an XMLTV guide (- standard output): its channels, the programmes with\n"
           "                    title, sub-title and description, times in the --tz zone (default: the host's)\n"
           "  --help            this text\n"
           "Script commands (one a line, # comments):\n"
           "  key NAME [xN] | hold NAME SECONDS | wait 500ms|3s|20m|2h | clock \"YYYY-MM-DD HH:MM[:SS]\"\n"
           "  tune tv:N|ra:N | state MAIN SUB | restart | snap FILE.png | dump screen FILE\n"
           "  dump settings FILE | dump guide tv:N|ra:N FILE (what the firmware broadcasts, in the\n"
           "  --dump-buffer form) | expect screen \"TEXT\" | expect no-screen \"TEXT\"\n"
           "  expect file NAME | expect no-file NAME      (FILE may be - for standard output)\n";
}

OptionsResult parseOptions(const std::vector<std::string> &args, Options &out, std::string &error) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool inlineValue = false;
        if (name.rfind("--", 0) == 0) {
            size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
                inlineValue = true;
            }
        }
        if (name == "--help" || name == "-h") {
            out.help = true;
            continue;
        }
        if (name == "--buffer-to-xmltv") {
            // Two values: the buffer file and the guide to write.
            size_t needed = inlineValue ? 1 : 2;
            if (i + needed < args.size()) {
                out.bufferToXmltv = inlineValue ? value : args[++i];
                out.xmltvOut = args[++i];
            }
            if (out.bufferToXmltv.empty() || out.xmltvOut.empty()) {
                error = "--buffer-to-xmltv needs a buffer file (or its folder) and the XMLTV file to write";
                return OptionsResult::Error;
            }
            continue;
        }
        static const char *const kWithValue[] = {"--disk",   "--lineup",      "--clock",       "--channel",
                                                 "--osd-language", "--free-mb", "--script",      "--demo",
                                                 "--plugin", "--guide",       "--guide-shift", "--tz",
                                                 "--eit",    "--dump-buffer", "--serve",     "--serve-addr"};
        bool known = false;
        for (const char *k : kWithValue)
            known = known || name == k;
        if (!known) {
            error = "unknown option " + args[i];
            return OptionsResult::Error;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error = "option " + name + " needs a value";
                return OptionsResult::Error;
            }
            value = args[++i];
        }
        long long n = 0;
        if (name == "--disk") {
            if (value.empty()) {
                error = "--disk needs a folder";
                return OptionsResult::Error;
            }
            out.disk = value;
        } else if (name == "--lineup") {
            out.lineupFile = value;
        } else if (name == "--clock") {
            if (!sim::parseLocalTime(value, out.clockMs)) {
                error = "--clock \"" + value + "\": expected \"YYYY-MM-DD HH:MM[:SS]\"";
                return OptionsResult::Error;
            }
            if (!sim::firmwareCanHold(out.clockMs)) {
                error = "--clock \"" + value + "\": the receiver's clock holds dates " + sim::firmwareDateRange() +
                        " only";
                return OptionsResult::Error;
            }
            out.clockGiven = true;
        } else if (name == "--channel") {
            if (!parseChannelRef(value, out.svcType, out.svcNum)) {
                error = "--channel " + value + ": expected tv:N or ra:N";
                return OptionsResult::Error;
            }
            out.channelGiven = true;
        } else if (name == "--osd-language") {
            if (!parseInt(value, 0, 255, n)) {
                error = "--osd-language " + value + ": expected a number 0..255";
                return OptionsResult::Error;
            }
            out.osdLanguage = static_cast<int>(n);
        } else if (name == "--free-mb") {
            if (!parseInt(value, 0, 0xFFFFFFFFLL, n)) {
                error = "--free-mb " + value + ": expected a number of megabytes";
                return OptionsResult::Error;
            }
            out.freeMb = static_cast<uint32_t>(n);
        } else if (name == "--script") {
            if (!out.script.empty()) {
                error = "--script given twice (" + out.script + " and " + value + "): give one script";
                return OptionsResult::Error;
            }
            out.script = value;
        } else if (name == "--demo") {
            if (!out.demoDir.empty()) {
                error = "--demo given twice (" + out.demoDir + " and " + value + "): give one folder";
                return OptionsResult::Error;
            }
            out.demoDir = value;
        } else if (name == "--plugin") {
            out.plugin = value;
        } else if (name == "--guide") {
            if (value.empty()) {
                error = "--guide needs a file";
                return OptionsResult::Error;
            }
            out.guideFile = value;
        } else if (name == "--guide-shift") {
            out.guideShiftAuto = value == "auto";
            if (!out.guideShiftAuto) {
                if (!parseInt(value[0] == '+' ? value.substr(1) : value, -36500, 36500, n)) {
                    error = "--guide-shift " + value + ": expected auto or a number of days";
                    return OptionsResult::Error;
                }
                out.guideShiftDays = static_cast<int>(n);
            }
        } else if (name == "--tz") {
            out.tzFromGuide = value == "guide";
            std::string why;
            if (!out.tzFromGuide && !Zone::parse(value, out.zone, why)) {
                error = "--tz " + value + ": " + why;
                return OptionsResult::Error;
            }
        } else if (name == "--eit") {
            if (value != "all" && value != "transponder") {
                error = "--eit " + value + ": expected all or transponder";
                return OptionsResult::Error;
            }
            out.eitTransponder = value == "transponder";
        } else if (name == "--dump-buffer") {
            if (value.empty()) {
                error = "--dump-buffer needs a file";
                return OptionsResult::Error;
            }
            out.dumpBuffer = value;
        } else if (name == "--serve") {
            if (!parseInt(value, 0, 65535, n)) {
                error = "--serve " + value + ": expected a port number 0..65535 (0: any free port)";
                return OptionsResult::Error;
            }
            out.servePort = static_cast<int>(n);
        } else if (name == "--serve-addr") {
            if (value.empty()) {
                error = "--serve-addr needs an address such as 127.0.0.1 or 0.0.0.0";
                return OptionsResult::Error;
            }
            out.serveAddr = value;
            out.serveAddrGiven = true;
        }
    }
    if (out.help)
        return OptionsResult::Help;
    if (out.serveAddrGiven && out.servePort < 0) {
        error = "--serve-addr goes with --serve PORT";
        return OptionsResult::Error;
    }
    if (out.servePort >= 0) {
        if (!out.script.empty() || !out.demoDir.empty() || !out.dumpBuffer.empty() || !out.bufferToXmltv.empty()) {
            error = "--serve runs the receiver for the page in the browser: give it without --script, --demo, "
                    "--dump-buffer or --buffer-to-xmltv";
            return OptionsResult::Error;
        }
        return OptionsResult::Serve;
    }
    if (!out.bufferToXmltv.empty()) {
        if (!out.script.empty() || !out.demoDir.empty() || !out.dumpBuffer.empty()) {
            error = "--buffer-to-xmltv runs on its own: give it without --script, --demo or --dump-buffer";
            return OptionsResult::Error;
        }
        if (out.tzFromGuide) {
            error = "--buffer-to-xmltv: give the receiver's zone as --tz ZONE or +hhmm (there is no guide to take it from)";
            return OptionsResult::Error;
        }
        return OptionsResult::BufferToXmltv;
    }
    if (!out.dumpBuffer.empty()) {
        if (!out.script.empty() || !out.demoDir.empty()) {
            error = "--dump-buffer runs on its own: give it without --script or --demo";
            return OptionsResult::Error;
        }
        return OptionsResult::DumpBuffer;
    }
    if (!out.script.empty() && !out.demoDir.empty()) {
        error = "give either --script or --demo, not both";
        return OptionsResult::Error;
    }
    if (out.script.empty() && out.demoDir.empty()) {
        error = "nothing to run: give --script FILE, --demo DIR, --dump-buffer FILE or --buffer-to-xmltv FILE OUT";
        return OptionsResult::NothingToRun;
    }
    return OptionsResult::Run;
}

std::string defaultPluginPath(const std::string &builtWith) {
    char self[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = '\0';
        std::filesystem::path beside = std::filesystem::path(self).parent_path() / "Diro_ROD.tap";
        std::error_code ec;
        if (std::filesystem::is_regular_file(beside, ec))
            return beside.string();
    }
    return builtWith;
}

}  // namespace rx
