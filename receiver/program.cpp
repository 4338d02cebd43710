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
#include "receiver/zone.h"
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
        return runBufferToXmltv(opt.bufferToXmltv, opt.xmltvOut, opt.zone, out, err);
    case OptionsResult::Run:
    case OptionsResult::Serve:
        break;
    }
    bool serve = parsed == OptionsResult::Serve;

    // The guide is read before the clock (--tz guide takes its zone) and before the lineup
    // (without --lineup its channels are the lineup).
    bool haveGuide = !opt.guideFile.empty();
    XmltvGuide xmltv;
    if (haveGuide) {
        if (!readXmltvFile(opt.guideFile, xmltv, why)) {
            err << "receiver: " << why << "\n";
            return 2;
        }
        for (const std::string &w : xmltv.warnings)
            err << "receiver: warning: " << w << "\n";
    }
    Zone zone = opt.zone;
    if (opt.tzFromGuide && !xmltv.programmes.empty())
        zone = Zone::fixed(xmltv.programmes[0].startZoneMinutes);

    bool demo = !opt.demoDir.empty();
    int64_t clockMs = 0;
    if (demo)
        sim::parseLocalTime(kDemoClock, clockMs);
    else
        clockMs = opt.clockGiven ? opt.clockMs : zone.nowLocalMs();

    Guide guide;
    if (haveGuide) {
        GuideSettings gs;
        gs.zone = zone;
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
        std::string replaced;
        if (!prepareDemoDisk(config.firmware.diskDir, why, &replaced)) {
            err << "receiver: " << why << "\n";
            return 2;
        }
        if (!replaced.empty())
            err << "receiver: demo disk " << config.firmware.diskDir << ": " << replaced << "\n";
        run.outputDir = opt.demoDir;
    } else {
        config.firmware.diskDir = opt.disk;
    }
    sim::ChannelRef tuned = config.firmware.channel;
    sim::Channels channels(lineup);
    if (!channels.find(tuned.svcType, tuned.svcNum)) {
        if (opt.channelGiven) {
            err << "receiver: --channel " << (tuned.svcType == 0 ? "tv:" : "ra:") << tuned.svcNum
                << ": there is no such channel in the lineup\n";
        } else if (lineup.empty()) {
            err << "receiver: the lineup " << opt.lineupFile << " has no channels\n";
        } else {
            err << "receiver: the lineup " << opt.lineupFile << " has no TV channel to start on: add one, or "
                << "start on a radio channel with --channel ra:0\n";
        }
        return 2;
    }
    // The whole script is checked before anything runs, its channels against the lineup too.
    std::vector<std::string> channelErrors = checkScriptChannels(script, channels);
    for (const std::string &e : channelErrors)
        err << e << "\n";
    if (!channelErrors.empty())
        return 2;

    std::unique_ptr<sim::Receiver> rx;
    try {
        rx = std::make_unique<sim::Receiver>(config);
    } catch (const std::exception &e) {
        err << "receiver: " << e.what() << "\n";
        return 2;
    }
    rx->firmware().system.echoPrints = true;
    rx->firmware().log.echo = true;
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
