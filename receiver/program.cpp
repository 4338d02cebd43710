// The receiver program's flow (see program.h): options, the guide and the lineup, the script or
// the demo or the page in the browser, the virtual receiver; or the dump of a buffer file, or the
// buffer file as XMLTV.
#include "receiver/program.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "receiver/buffer_dump.h"
#include "receiver/demo.h"
#include "receiver/demo_guide.h"
#include "receiver/guide.h"
#include "receiver/lineup.h"
#include "receiver/options.h"
#include "receiver/script.h"
#include "receiver/web_server.h"
#include "receiver/xmltv_write.h"
#include "sim/clock.h"
#include "sim/receiver.h"

namespace rx {

int runProgram(const std::vector<std::string> &args, const std::string &builtInImage, std::istream &in,
               std::ostream &out, std::ostream &err) {
    Options opt;
    std::string why;
    OptionsResult parsed = parseOptions(args, opt, why);
    switch (parsed) {
    case OptionsResult::Help:
        out << usage();
        return 0;
    case OptionsResult::NothingToRun:
        err << usage();
        return 2;
    case OptionsResult::Error:
        err << "receiver: " << why << " (see --help)\n";
        return 2;
    case OptionsResult::DumpBuffer:
        return runBufferDump(opt.dumpBuffer, out, err);
    case OptionsResult::BufferToXmltv:
        return runBufferToXmltv(opt.bufferToXmltv, opt.xmltvOut, opt.tzMinutes, out, err);
    case OptionsResult::Run:
    case OptionsResult::Serve:
        break;
    }
    bool serve = parsed == OptionsResult::Serve;

    bool demo = !opt.demoDir.empty();
    int64_t clockMs = 0;
    if (demo)
        sim::parseLocalTime(kDemoClock, clockMs);
    else
        clockMs = opt.clockGiven ? opt.clockMs : sim::hostLocalTimeMs();

    // The guide is read before the lineup: without --lineup its channels are the lineup.
    Guide guide;
    bool haveGuide = !opt.guideFile.empty();
    if (haveGuide) {
        XmltvGuide xmltv;
        if (!readXmltvFile(opt.guideFile, xmltv, why)) {
            err << "receiver: " << why << "\n";
            return 2;
        }
        for (const std::string &w : xmltv.warnings)
            err << "receiver: warning: " << w << "\n";
        GuideSettings gs;
        gs.tzMinutes = opt.tzMinutes;
        gs.tzFromGuide = opt.tzFromGuide;
        gs.autoShift = opt.guideShiftAuto;
        gs.shiftDays = opt.guideShiftDays;
        guide = guideFromXmltv(xmltv, gs, clockMs);
        err << "receiver: " << guideSummary(opt.guideFile, guide) << "\n";
    }

    std::vector<sim::Channel> lineup;
    if (!opt.lineupFile.empty()) {
        if (!readLineupFile(opt.lineupFile, lineup, why)) {
            err << "receiver: " << why << "\n";
            return 2;
        }
    } else if (haveGuide) {
        lineup = lineupFromGuide(guide);
        if (lineup.empty()) {
            err << "receiver: the guide " << opt.guideFile << " has no channels: give a lineup with --lineup\n";
            return 2;
        }
    } else {
        lineup = demoLineup();
    }

    Script script;
    std::vector<std::string> errors;
    std::string text;
    if (demo) {
        text = demoScriptText();
        script.name = "demo";
    } else if (serve) {
        script.name = "page";  // driven from the page: no script
    } else if (opt.script == "-") {
        std::ostringstream all;
        all << in.rdbuf();
        text = all.str();
        script.name = "-";
    } else {
        std::ifstream f(opt.script, std::ios::binary);
        if (!f) {
            err << "receiver: cannot read the script " << opt.script << "\n";
            return 2;
        }
        std::ostringstream all;
        all << f.rdbuf();
        text = all.str();
        script.name = opt.script;
    }
    if (!serve && !parseScript(text, script.name, script, errors)) {
        for (const std::string &e : errors)
            err << e << "\n";
        return 2;
    }

    sim::ReceiverConfig config;
    config.firmware.lineup = lineup;
    config.firmware.channel = {opt.svcType, opt.svcNum};
    config.firmware.osdLanguage = opt.osdLanguage;
    config.firmware.freeMb = opt.freeMb;
    config.firmware.eitMode = opt.eitTransponder ? sim::EitMode::Transponder : sim::EitMode::All;
    config.firmware.clockMs = clockMs;
    config.imagePath = opt.plugin.empty() ? defaultPluginPath(builtInImage) : opt.plugin;
    RunSettings run;
    run.out = &out;
    run.err = &err;
    if (demo) {
        config.firmware.diskDir = (std::filesystem::path(opt.demoDir) / "disk").string();
        if (!prepareDemoDisk(config.firmware.diskDir, why)) {
            err << "receiver: " << why << "\n";
            return 2;
        }
        run.outputDir = opt.demoDir;
    } else {
        config.firmware.diskDir = opt.disk;
    }
    sim::ChannelRef tuned = config.firmware.channel;
    if (!sim::Channels(lineup).find(tuned.svcType, tuned.svcNum)) {
        err << "receiver: --channel " << (tuned.svcType == 0 ? "tv:" : "ra:") << tuned.svcNum
            << ": there is no such channel in the lineup\n";
        return 2;
    }

    std::unique_ptr<sim::Receiver> rx;
    try {
        rx = std::make_unique<sim::Receiver>(config);
    } catch (const std::exception &e) {
        err << "receiver: " << e.what() << "\n";
        return 2;
    }
    rx->firmware().system.echoPrints = true;
    // What the receiver broadcasts: the guide's schedules, or the demo guide for every channel.
    if (haveGuide) {
        std::vector<std::string> warnings;
        int served = installGuide(rx->firmware().epg, lineup, guide, warnings);
        for (const std::string &w : warnings)
            err << "receiver: warning: " << w << "\n";
        if (served == 0)
            err << "receiver: warning: no channel of the lineup has an XMLTV id of the guide: the receiver "
                   "broadcasts no guide\n";
    } else {
        installDemoGuide(rx->firmware().epg, lineup, clockMs);
    }
    if (!rx->powerOn()) {
        err << "receiver: the plug-in did not start: " << rx->error() << "\n";
        return 2;
    }
    const sim::PluginImageInfo &info = rx->host().info();
    err << "receiver: " << info.programName << " started at " << sim::formatLocalTime(rx->firmware().clock.nowMs())
        << " on disk " << rx->firmware().disk.folder() << "\n";
    if (serve) {
        ServeSettings ss;
        ss.port = opt.servePort;
        ss.address = opt.serveAddr;
        ss.lineup = lineup;
        ss.guideFile = opt.guideFile;
        ss.guide = std::move(guide);
        return serveReceiver(std::move(rx), ss, out, err);
    }
    return runScript(script, *rx, run);
}

}  // namespace rx
