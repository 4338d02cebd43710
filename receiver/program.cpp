// The receiver program's flow (see program.h).
#include "receiver/program.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "receiver/demo.h"
#include "receiver/lineup.h"
#include "receiver/options.h"
#include "receiver/script.h"
#include "sim/clock.h"
#include "sim/receiver.h"

namespace rx {

int runProgram(const std::vector<std::string> &args, const std::string &builtInImage, std::istream &in,
               std::ostream &out, std::ostream &err) {
    Options opt;
    std::string why;
    switch (parseOptions(args, opt, why)) {
    case OptionsResult::Help:
        out << usage();
        return 0;
    case OptionsResult::NothingToRun:
        err << usage();
        return 2;
    case OptionsResult::Error:
        err << "receiver: " << why << " (see --help)\n";
        return 2;
    case OptionsResult::Run:
        break;
    }

    std::vector<sim::Channel> lineup;
    if (opt.lineupFile.empty())
        lineup = demoLineup();
    else if (!readLineupFile(opt.lineupFile, lineup, why)) {
        err << "receiver: " << why << "\n";
        return 2;
    }

    bool demo = !opt.demoDir.empty();
    Script script;
    std::vector<std::string> errors;
    std::string text;
    if (demo) {
        text = demoScriptText();
        script.name = "demo";
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
    if (!parseScript(text, script.name, script, errors)) {
        for (const std::string &e : errors)
            err << e << "\n";
        return 2;
    }

    sim::ReceiverConfig config;
    config.firmware.lineup = lineup;
    config.firmware.channel = {opt.svcType, opt.svcNum};
    config.firmware.osdLanguage = opt.osdLanguage;
    config.firmware.freeMb = opt.freeMb;
    config.imagePath = opt.plugin.empty() ? defaultPluginPath(builtInImage) : opt.plugin;
    RunSettings run;
    run.out = &out;
    run.err = &err;
    if (demo) {
        config.firmware.diskDir = (std::filesystem::path(opt.demoDir) / "disk").string();
        sim::parseLocalTime(kDemoClock, config.firmware.clockMs);
        if (!prepareDemoDisk(config.firmware.diskDir, why)) {
            err << "receiver: " << why << "\n";
            return 2;
        }
        run.outputDir = opt.demoDir;
    } else {
        config.firmware.diskDir = opt.disk;
        config.firmware.clockMs = opt.clockGiven ? opt.clockMs : sim::hostLocalTimeMs();
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
    if (!rx->powerOn()) {
        err << "receiver: the plug-in did not start: " << rx->error() << "\n";
        return 2;
    }
    const sim::PluginImageInfo &info = rx->host().info();
    err << "receiver: " << info.programName << " started at " << sim::formatLocalTime(rx->firmware().clock.nowMs())
        << " on disk " << rx->firmware().disk.folder() << "\n";
    return runScript(script, *rx, run);
}

}  // namespace rx
