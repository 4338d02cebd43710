// The firmware's timers and recordings as JSON (see firmware_dump.h).
#include "receiver/firmware_dump.h"

#include <cstdio>
#include <cstring>

#include "sim/firmware.h"
#include "sim/latin1.h"

namespace rx {

namespace {

std::string timeText(int64_t localMs) { return "\"" + sim::formatLocalTime(localMs).substr(0, 16) + "\""; }

const char *typeText(int svcType) { return svcType == sim::kRadio ? "\"radio\"" : "\"tv\""; }

// One element of an array: a line of its own, commas between.
void element(std::string &json, bool &first, const std::string &object) {
    json += first ? "\n  " : ",\n  ";
    json += object;
    first = false;
}

std::string recordingObject(const sim::Recording &r) {
    return "{\"slot\": " + std::to_string(r.slot) + ", \"type\": " + typeText(r.channel.svcType) +
           ", \"channel\": " + std::to_string(r.channel.svcNum) + ", \"start\": " + timeText(r.startMs) +
           ", \"end\": " + timeText(r.endMs) + ", \"name\": " + jsonString(r.name) + "}";
}

}  // namespace

std::string jsonString(std::string_view latin1) {
    std::string out = "\"";
    for (unsigned char c : latin1) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04X", c);
            out += esc;
        } else {
            out += sim::latin1ToUtf8(std::string_view(reinterpret_cast<const char *>(&c), 1));
        }
    }
    return out + "\"";
}

std::string timersJson(const sim::Firmware &fw) {
    std::string json = "[";
    bool first = true;
    for (int i = 0; i < fw.timers.count(); ++i) {
        const TimerRecord &t = fw.timers.entry(i)->record;
        element(json, first,
                "{\"index\": " + std::to_string(i) + ", \"kind\": " + (t.is_rec == 1 ? "\"Rec\"" : "\"-P-\"") +
                    ", \"tuner\": " + std::to_string(t.tuner) + ", \"type\": " + typeText(t.svc_type) +
                    ", \"channel\": " + std::to_string(t.svc_num) + ", \"start\": " +
                    timeText(sim::Timers::startMs(t)) + ", \"duration\": " + std::to_string(t.duration) +
                    ", \"mode\": \"" + sim::timerModeName(t.mode) + "\", \"name\": " +
                    jsonString(std::string_view(t.name, strnlen(t.name, sizeof t.name))) + "}");
    }
    return json + (first ? "]\n" : "\n]\n");
}

std::string recordingsJson(const sim::Firmware &fw) {
    std::string json = "{\"running\": [";
    bool first = true;
    for (int s = 0; s < sim::Recordings::kSlots; ++s)
        if (const auto &r = fw.recordings.running(s))
            element(json, first, recordingObject(*r));
    json += first ? "],\n\"done\": [" : "\n],\n\"done\": [";
    first = true;
    for (const sim::Recording &r : fw.recordings.done())
        element(json, first, recordingObject(r));
    return json + (first ? "]}\n" : "\n]}\n");
}

}  // namespace rx
