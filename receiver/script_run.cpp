// The script runner (see script.h): carries out parsed commands on a sim::Receiver, writes
// snapshots and dumps, and checks expectations.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "receiver/buffer_dump.h"
#include "receiver/firmware_dump.h"
#include "receiver/script.h"
#include "sim/clock.h"
#include "sim/epg.h"
#include "sim/latin1.h"
#include "sim/receiver.h"

namespace rx {

namespace {

constexpr int64_t kKeyPauseMs = 300;   // clock after each key press
constexpr int64_t kRepeatMs = 150;     // key repeat while a key is held

const char *const kSettingsFile = "Diro_ROD.Settings.DAT";

std::string quoted(const std::string &utf8) {
    std::string q = "\"";
    for (char c : utf8) {
        if (c == '"' || c == '\\')
            q += '\\';
        q += c;
    }
    return q + "\"";
}

class Runner {
public:
    Runner(const Script &script, sim::Receiver &rx, const RunSettings &s)
        : script_(script), rx_(rx), dir_(s.outputDir), out_(s.out ? *s.out : std::cout),
          err_(s.err ? *s.err : std::cerr) {}

    int run() {
        rx_.screen().clearLog();
        for (const Command &c : script_.commands) {
            bool wasRunning = rx_.pluginRunning();
            // Checks of shown texts in a row look at the same stretch; the next command starts a new one.
            bool checksShown = c.op == Op::ExpectShown || c.op == Op::ExpectNoShown;
            if (shownChecked_ && !checksShown)
                rx_.screen().clearLog();
            shownChecked_ = checksShown;
            if (!step(c))
                return 2;
            if (!sim::firmwareCanHold(rx_.firmware().clock.nowMs())) {
                error(c, std::string("the clock went past the last day it holds: it holds dates ") +
                             sim::firmwareDateRange() + " only");
                return 2;
            }
            if (wasRunning && !rx_.pluginRunning())
                err_ << where(c) << "the plug-in ended\n";
        }
        if (failures_ > 0)
            err_ << script_.name << ": " << failures_ << " expectation" << (failures_ == 1 ? "" : "s") << " failed\n";
        return failures_ > 0 ? 1 : 0;
    }

private:
    const Script &script_;
    sim::Receiver &rx_;
    std::string dir_;
    std::ostream &out_, &err_;
    int failures_ = 0;
    bool shownChecked_ = false;   // the last command checked the texts shown

    std::string where(const Command &c) const { return script_.name + ":" + std::to_string(c.line) + ": "; }

    bool error(const Command &c, const std::string &why) {
        err_ << where(c) << c.source << "\n" << where(c) << why << "\n";
        return false;
    }

    void fail(const Command &c, const std::string &why, bool withScreen) {
        ++failures_;
        err_ << where(c) << c.source << ": FAILED: " << why << "\n";
        if (withScreen) {
            std::string texts = screenTextDump(rx_);
            err_ << "  the screen shows:\n";
            if (texts.empty())
                err_ << "    (no text)\n";
            std::istringstream in(texts);
            for (std::string line; std::getline(in, line);)
                err_ << "    " << line << "\n";
        }
    }

    std::string pathFor(const std::string &file) const {
        if (dir_.empty() || std::filesystem::path(file).is_absolute())
            return file;
        return (std::filesystem::path(dir_) / file).string();
    }

    // Writes text to a file (its folder is made) or, for "-", to the output stream.
    bool writeOut(const Command &c, const std::string &file, const std::string &text) {
        if (file == "-") {
            out_ << text;
            out_.flush();
            return true;
        }
        std::string path = pathFor(file);
        if (!makeParent(path))
            return error(c, "cannot create the folder of " + path);
        std::ofstream f(path, std::ios::binary);
        f << text;
        if (!f)
            return error(c, "cannot write " + path);
        out_ << path << "\n";
        return true;
    }

    static bool makeParent(const std::string &path) {
        std::filesystem::path parent = std::filesystem::path(path).parent_path();
        std::error_code ec;
        if (!parent.empty())
            std::filesystem::create_directories(parent, ec);
        return !ec;
    }

    // A timer through the receiver's own menu; a refusal fails the script with the firmware's code.
    bool addTimer(const Command &c) {
        TimerRecord t{};
        t.is_rec = c.isRec ? 1 : 0;
        t.tuner = static_cast<byte>(c.tuner);
        t.svc_type = static_cast<byte>(c.svcType);
        t.svc_num = static_cast<word>(c.svcNum);
        t.mode = static_cast<byte>(c.mode);
        t.name_fixed = 1;
        t.duration = static_cast<word>(c.minutes);
        t.start = sim::packedTime(c.ms);
        const sim::Channel *channel = rx_.firmware().channels.find(c.svcType, c.svcNum);
        std::string name = !c.arg.empty() ? sim::utf8ToLatin1(c.arg) : channel ? channel->name + ".rec" : "";
        std::strncpy(t.name, name.c_str(), sizeof t.name - 1);
        int result = rx_.addTimer(t);
        if (result != 0)
            fail(c, "the firmware refused the timer with " + std::to_string(result) + " (" +
                        sim::Timers::resultText(result) + ")", false);
        return true;
    }

    void press(uint32_t key, int64_t pauseMs) {
        rx_.pressKey(key);
        rx_.advance(pauseMs);
    }

    bool step(const Command &c) {
        switch (c.op) {
        case Op::Key:
            for (int i = 0; i < c.count; ++i)
                press(c.key, kKeyPauseMs);
            return true;
        case Op::Hold: {
            int64_t presses = c.ms / kRepeatMs > 0 ? c.ms / kRepeatMs : 1;
            for (int64_t i = 0; i < presses; ++i)
                press(c.key, kRepeatMs);
            return true;
        }
        case Op::Wait:
            rx_.advance(c.ms);
            return true;
        case Op::Clock: {
            int64_t now = rx_.firmware().clock.nowMs();
            if (c.ms < now)
                return error(c, "the clock cannot go back: it is " + sim::formatLocalTime(now) + " already");
            rx_.setClock(c.ms);
            return true;
        }
        case Op::Tune:
            if (!rx_.tune(c.svcType, c.svcNum))
                return error(c, noSuchChannel(rx_.firmware().channels, c.svcType));
            return true;
        case Op::Record: {
            sim::ChannelRef ch{c.svcType, c.svcNum};
            if (!rx_.firmware().channels.find(c.svcType, c.svcNum))
                return error(c, noSuchChannel(rx_.firmware().channels, c.svcType));
            if (rx_.record(ch) < 0)
                return error(c, rx_.firmware().recordings.slotOf(ch) >= 0 ? std::string("the channel records already")
                                : rx_.firmware().recordings.diskFull
                                    ? std::string("the disk is full")
                                    : std::string("no tuner is free: both record other transponders"));
            return true;
        }
        case Op::RecordStop: {
            sim::ChannelRef ch{c.svcType, c.svcNum};
            if (rx_.stopRecordings(c.svcNum < 0 ? nullptr : &ch) == 0)
                err_ << where(c) << "no recording to stop\n";
            return true;
        }
        case Op::State:
            rx_.setState(c.mainState, c.subState);
            return true;
        case Op::Restart:
            if (!rx_.restart())
                return error(c, "the restart failed: " + rx_.error());
            err_ << where(c) << "restarted: the plug-in was loaded afresh\n";
            return true;
        case Op::Snap: {
            std::string path = pathFor(c.arg);
            if (!makeParent(path) || !rx_.screen().writePng(path, rx_.firmware().tvPicture()))
                return error(c, "cannot write " + path);
            out_ << path << "\n";
            return true;
        }
        case Op::DumpScreen:
            return writeOut(c, c.arg, screenTextDump(rx_));
        case Op::DumpGuide:
            if (!rx_.firmware().channels.find(c.svcType, c.svcNum))
                return error(c, noSuchChannel(rx_.firmware().channels, c.svcType));
            return writeOut(c, c.arg, guideDump(rx_, c.svcType, c.svcNum));
        case Op::DumpSettings: {
            std::string dump, why;
            if (!settingsDump(rx_, dump, why)) {
                fail(c, why, false);
                return true;
            }
            if (!why.empty())
                err_ << where(c) << why << "\n";
            return writeOut(c, c.arg, dump);
        }
        case Op::ExpectScreen:
            if (!rx_.screen().shows(sim::utf8ToLatin1(c.arg)))
                fail(c, quoted(c.arg) + " is not on the screen", true);
            return true;
        case Op::ExpectNoScreen:
            if (rx_.screen().shows(sim::utf8ToLatin1(c.arg)))
                fail(c, quoted(c.arg) + " is on the screen", true);
            return true;
        case Op::ExpectFile:
            if (!rx_.firmware().disk.exists(c.arg))
                fail(c, c.arg + " is not in the plug-in's folder " + rx_.firmware().disk.folder(), false);
            return true;
        case Op::ExpectNoFile:
            if (rx_.firmware().disk.exists(c.arg))
                fail(c, c.arg + " is in the plug-in's folder " + rx_.firmware().disk.folder(), false);
            return true;
        case Op::AddTimer:
            return addTimer(c);
        case Op::Put: {
            std::ofstream f(rx_.firmware().disk.pathOf(c.arg), std::ios::binary | std::ios::trunc);
            f << c.text;
            if (!f)
                return error(c, "cannot write " + rx_.firmware().disk.pathOf(c.arg));
            return true;
        }
        case Op::ExpectShown:
        case Op::ExpectNoShown: {
            std::string needle = sim::utf8ToLatin1(c.arg);
            bool shown = false;
            for (const sim::ScreenText &t : rx_.screen().textLog())
                shown = shown || t.text.find(needle) != std::string::npos;
            if (shown != (c.op == Op::ExpectShown))
                fail(c, quoted(c.arg) + (shown ? " was shown" : " was not shown since the last check"), true);
            return true;
        }
        case Op::DumpTimers:
            return writeOut(c, c.arg, timersJson(rx_.firmware()));
        case Op::DumpRecordings:
            return writeOut(c, c.arg, recordingsJson(rx_.firmware()));
        case Op::ExpectTimers: {
            const sim::Timers &timers = rx_.firmware().timers;
            if (timers.count() != c.count) {
                std::string list;
                for (int i = 0; i < timers.count(); ++i)
                    list += "\n    " + std::to_string(i) + ": " + sim::Timers::describe(timers.entry(i)->record);
                fail(c, "the firmware's table holds " + std::to_string(timers.count()) + " timers" + list, false);
            }
            return true;
        }
        }
        return error(c, "unknown command");
    }
};

}  // namespace

std::string screenTextDump(sim::Receiver &rx) {
    std::string dump;
    for (const sim::ScreenText &t : rx.screen().texts()) {
        char head[96];
        std::snprintf(head, sizeof head, "%d %d %d 0x%08X 0x%08X ", t.x, t.y, t.size, static_cast<unsigned>(t.fg),
                      static_cast<unsigned>(t.bg));
        dump += head + quoted(sim::latin1ToUtf8(t.text)) + "\n";
    }
    return dump;
}

bool settingsDump(sim::Receiver &rx, std::string &dump, std::string &error) {
    std::string path = rx.firmware().disk.pathOf(kSettingsFile);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::string("there is no settings file ") + kSettingsFile + " in " + rx.firmware().disk.folder();
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() != 512)
        error = std::string("the settings file is ") + std::to_string(bytes.size()) + " bytes, not 512";
    dump.clear();
    for (size_t off = 0; off + 4 <= bytes.size() && off < 512; off += 4) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(bytes[off + static_cast<size_t>(i)]);
        dump += std::to_string(off) + " " + std::to_string(static_cast<int32_t>(v)) + "\n";
    }
    return true;
}

std::string guideDump(sim::Receiver &rx, int svcType, int svcNum) {
    sim::Firmware &fw = rx.firmware();
    const sim::Channel *channel = fw.channels.find(svcType, svcNum);
    if (!channel)
        return "";
    std::string dump;
    for (const PlatformEvent &e : fw.epg.known(svcType, svcNum, fw.clock.nowMs(), fw.channels)) {
        dump += guideLine(std::to_string(svcNum), channel->name, e.start >> 16, (e.start >> 8) & 0xFF, e.start & 0xFF,
                          e.end >> 16, (e.end >> 8) & 0xFF, e.end & 0xFF, e.title, e.short_text, fw.epg.extInfo(e)) +
                "\n";
    }
    return dump;
}

int runScript(const Script &script, sim::Receiver &rx, const RunSettings &settings) {
    return Runner(script, rx, settings).run();
}

}  // namespace rx
