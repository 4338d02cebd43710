// The script language's parser (see script.h); the runner is in receiver/script_run.cpp.
#include "receiver/script.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "frame/platform/tap.h"
#include "receiver/options.h"
#include "sim/channels.h"
#include "sim/clock.h"
#include "sim/disk.h"
#include "sim/latin1.h"

namespace rx {

namespace {

struct KeyName {
    const char *name;
    uint32_t code;
};

const KeyName kKeys[] = {
    {"0", RKEY_0}, {"1", RKEY_1}, {"2", RKEY_2}, {"3", RKEY_3}, {"4", RKEY_4},
    {"5", RKEY_5}, {"6", RKEY_6}, {"7", RKEY_7}, {"8", RKEY_8}, {"9", RKEY_9},
    {"OK", RKEY_Ok}, {"EXIT", RKEY_Exit}, {"UP", RKEY_Up}, {"DOWN", RKEY_Down},
    {"LEFT", RKEY_Left}, {"RIGHT", RKEY_Right}, {"MENU", RKEY_Menu}, {"GUIDE", RKEY_Guide},
    {"INFO", RKEY_Info}, {"RECORD", RKEY_Record}, {"PLAY", RKEY_Play}, {"PAUSE", RKEY_Pause},
    {"STOP", RKEY_Stop}, {"REWIND", RKEY_Rewind}, {"<<", RKEY_Rewind}, {"FORWARD", RKEY_Forward},
    {">>", RKEY_Forward}, {"SLOW", RKEY_Slow}, {"|>", RKEY_Slow}, {"PREV", RKEY_Prev}, {"|<", RKEY_Prev},
    {"NEXT", RKEY_Next}, {">|", RKEY_Next}, {"RED", RKEY_Red}, {"GREEN", RKEY_Green},
    {"YELLOW", RKEY_Yellow}, {"BLUE", RKEY_Blue}, {"TELETEXT", RKEY_Teletext},
    {"SUBTITLE", RKEY_Subtitle}, {"SLEEP", RKEY_Sleep}, {"MUTE", RKEY_Mute}, {"UHF", RKEY_Uhf},
    {"TVSAT", RKEY_TvSat}, {"RECALL", RKEY_Recall}, {"RADIO", RKEY_Radio}, {"AUDIO", RKEY_AudioTrk},
    {"SAT", RKEY_Sat}, {"TIMERLIST", RKEY_TimerList}, {"HELP", RKEY_Help},
};

std::string upper(std::string s) {
    for (char &c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Splits a line into words; "..." is one word (with \" and \\ inside). A '#' that starts a word
// outside quotes begins a comment. False with a message for an unterminated quote.
bool splitWords(const std::string &line, std::vector<std::string> &words, std::vector<bool> &quoted,
                std::string &error) {
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#')
            break;
        std::string w;
        if (c == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i++];
                if (d == '\\' && i < line.size()) {
                    w += line[i++];
                } else if (d == '"') {
                    closed = true;
                    break;
                } else {
                    w += d;
                }
            }
            if (!closed) {
                error = "the quote is not closed";
                return false;
            }
            words.push_back(w);
            quoted.push_back(true);
            continue;
        }
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            w += line[i++];
        words.push_back(w);
        quoted.push_back(false);
    }
    return true;
}

bool parseUnsigned(const std::string &s, uint32_t &out) {
    if (s.empty() || s[0] == '-')
        return false;
    char *end = nullptr;
    errno = 0;
    unsigned long long v = std::strtoull(s.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFull)
        return false;
    out = static_cast<uint32_t>(v);
    return true;
}

const char *const kAddTimerForm =
    "add-timer tv:N \"YYYY-MM-DD HH:MM\" MINUTES [rec|p] [tuner 0|1|3] [mode OT|ED|WE|WL|WD] [\"NAME\"]";

// The words of add-timer after its command word; false with a message.
bool parseAddTimer(const std::vector<std::string> &w, const std::vector<bool> &quoted, Command &c, std::string &why) {
    c.op = Op::AddTimer;
    size_t n = w.size();
    if (n < 4 || !parseChannelRef(w[1], c.svcType, c.svcNum)) {
        why = n < 4 ? std::string("expected: ") + kAddTimerForm : "\"" + w[1] + "\" is not tv:N or ra:N";
        return false;
    }
    // The start as one quoted word, or as a date and a time.
    size_t next = 3;
    std::string start = w[2];
    if (!sim::parseLocalTime(start, c.ms) && n > 4 && sim::parseLocalTime(w[2] + " " + w[3], c.ms)) {
        start = w[2] + " " + w[3];
        next = 4;
    }
    if (!sim::parseLocalTime(start, c.ms) || c.ms % 60000 != 0) {
        why = "\"" + start + "\" is not a start \"YYYY-MM-DD HH:MM\"";
        return false;
    }
    char *end = nullptr;
    long minutes = next < n ? std::strtol(w[next].c_str(), &end, 10) : -1;
    if (next >= n || w[next].empty() || *end != '\0' || minutes < 0 || minutes > 65535) {
        why = "the duration must be minutes (0..65535): " + std::string(kAddTimerForm);
        return false;
    }
    c.minutes = static_cast<int>(minutes);
    bool named = false;
    for (size_t i = next + 1; i < n; ++i) {
        const std::string &word = w[i];
        if (quoted[i] && !named) {
            named = true;
            c.arg = word;
            if (sim::utf8ToLatin1(word).size() > 99) {
                why = "the name is longer than 99 characters";
                return false;
            }
        } else if (word == "rec" || word == "p") {
            c.isRec = word == "rec";
        } else if (word == "tuner" && i + 1 < n && (w[i + 1] == "0" || w[i + 1] == "1" || w[i + 1] == "3")) {
            c.tuner = w[++i][0] - '0';
        } else if (word == "mode" && i + 1 < n) {
            static const char *const kModes[] = {"OT", "ED", "WE", "WL", "WD"};
            std::string m = upper(w[++i]);
            c.mode = -1;
            for (int k = 0; k < 5; ++k)
                if (m == kModes[k])
                    c.mode = k;
            if (c.mode < 0) {
                why = "the mode \"" + w[i] + "\" is not OT, ED, WE, WL or WD";
                return false;
            }
        } else {
            why = "\"" + word + "\" is not understood: " + kAddTimerForm;
            return false;
        }
    }
    return true;
}

// Parses one command line (without comments); false with a message.
bool parseCommand(const std::vector<std::string> &w, const std::vector<bool> &quoted, Command &c, std::string &why) {
    std::string verb = w[0];
    size_t n = w.size();
    auto wantArgs = [&](size_t lo, size_t hi, const char *form) {
        if (n - 1 < lo || n - 1 > hi) {
            why = std::string("expected: ") + form;
            return false;
        }
        return true;
    };
    if (verb == "key") {
        if (!wantArgs(1, 2, "key NAME [xN]"))
            return false;
        c.op = Op::Key;
        if (!keyCode(w[1], c.key)) {
            why = "unknown key \"" + w[1] + "\"";
            return false;
        }
        if (n == 3) {
            long long times = 0;
            char *end = nullptr;
            if (w[2].size() < 2 || (w[2][0] != 'x' && w[2][0] != 'X') ||
                (times = std::strtoll(w[2].c_str() + 1, &end, 10), *end != '\0') || times < 1 || times > 10000) {
                why = "the repeat count \"" + w[2] + "\" is not x1 .. x10000";
                return false;
            }
            c.count = static_cast<int>(times);
        }
        return true;
    }
    if (verb == "hold") {
        if (!wantArgs(2, 2, "hold NAME SECONDS"))
            return false;
        c.op = Op::Hold;
        if (!keyCode(w[1], c.key)) {
            why = "unknown key \"" + w[1] + "\"";
            return false;
        }
        if (!parseDuration(w[2], c.ms) || c.ms <= 0 || c.ms > 3600000) {
            why = "the time \"" + w[2] + "\" is not a number of seconds (up to 3600)";
            return false;
        }
        return true;
    }
    if (verb == "wait") {
        if (!wantArgs(1, 1, "wait DURATION (500ms, 3s, 20m, 2h)"))
            return false;
        c.op = Op::Wait;
        if (!parseDuration(w[1], c.ms)) {
            int64_t unlimited = 0;
            if (parseDuration(w[1], unlimited, false))
                why = "the duration \"" + w[1] + "\" is longer than a script may wait at once (366 days)";
            else
                why = "the duration \"" + w[1] + "\" is not like 500ms, 3s, 20m or 2h";
            return false;
        }
        return true;
    }
    if (verb == "clock") {
        if (!wantArgs(1, 2, "clock \"YYYY-MM-DD HH:MM[:SS]\""))
            return false;
        c.op = Op::Clock;
        std::string t = n == 3 ? w[1] + " " + w[2] : w[1];
        if (!sim::parseLocalTime(t, c.ms)) {
            why = "\"" + t + "\" is not a date and time \"YYYY-MM-DD HH:MM[:SS]\"";
            return false;
        }
        if (!sim::firmwareCanHold(c.ms)) {
            why = "\"" + t + "\": the receiver's clock holds dates " + std::string(sim::firmwareDateRange()) + " only";
            return false;
        }
        return true;
    }
    if (verb == "tune") {
        if (!wantArgs(1, 1, "tune tv:N | ra:N"))
            return false;
        c.op = Op::Tune;
        if (!parseChannelRef(w[1], c.svcType, c.svcNum)) {
            why = "\"" + w[1] + "\" is not tv:N or ra:N";
            return false;
        }
        return true;
    }
    if (verb == "record") {
        if (!wantArgs(1, 1, "record tv:N | ra:N"))
            return false;
        c.op = Op::Record;
        if (!parseChannelRef(w[1], c.svcType, c.svcNum)) {
            why = "\"" + w[1] + "\" is not tv:N or ra:N";
            return false;
        }
        return true;
    }
    if (verb == "record-stop") {
        if (!wantArgs(0, 1, "record-stop [tv:N | ra:N]"))
            return false;
        c.op = Op::RecordStop;
        c.svcNum = -1;
        if (n == 2 && !parseChannelRef(w[1], c.svcType, c.svcNum)) {
            why = "\"" + w[1] + "\" is not tv:N or ra:N";
            return false;
        }
        return true;
    }
    if (verb == "add-timer")
        return parseAddTimer(w, quoted, c, why);
    if (verb == "state") {
        if (!wantArgs(2, 2, "state MAIN SUB"))
            return false;
        c.op = Op::State;
        if (!parseUnsigned(w[1], c.mainState) || !parseUnsigned(w[2], c.subState)) {
            why = "the states must be numbers";
            return false;
        }
        return true;
    }
    if (verb == "restart") {
        c.op = Op::Restart;
        return wantArgs(0, 0, "restart");
    }
    if (verb == "snap") {
        if (!wantArgs(1, 1, "snap FILE.png"))
            return false;
        c.op = Op::Snap;
        c.arg = w[1];
        if (c.arg.size() < 5 || upper(c.arg.substr(c.arg.size() - 4)) != ".PNG") {
            why = "a snapshot is a PNG file: the name must end in .png";
            return false;
        }
        return true;
    }
    if (verb == "dump") {
        if (n >= 2 && w[1] == "guide") {
            if (!wantArgs(3, 3, "dump guide tv:N|ra:N FILE"))
                return false;
            c.op = Op::DumpGuide;
            if (!parseChannelRef(w[2], c.svcType, c.svcNum)) {
                why = "\"" + w[2] + "\" is not tv:N or ra:N";
                return false;
            }
            c.arg = w[3];
            return true;
        }
        if (!wantArgs(2, 2, "dump screen|settings|timers|recordings FILE | dump guide tv:N FILE"))
            return false;
        if (w[1] == "screen")
            c.op = Op::DumpScreen;
        else if (w[1] == "settings")
            c.op = Op::DumpSettings;
        else if (w[1] == "timers")
            c.op = Op::DumpTimers;
        else if (w[1] == "recordings")
            c.op = Op::DumpRecordings;
        else {
            why = "dump what? \"" + w[1] + "\" (screen, settings, guide, timers or recordings)";
            return false;
        }
        c.arg = w[2];
        return true;
    }
    if (verb == "expect") {
        if (!wantArgs(2, 2, "expect screen|no-screen \"TEXT\" | expect file|no-file NAME | expect timers N"))
            return false;
        c.arg = w[2];
        if (w[1] == "timers") {
            c.op = Op::ExpectTimers;
            char *end = nullptr;
            long timers = std::strtol(c.arg.c_str(), &end, 10);
            if (c.arg.empty() || *end != '\0' || timers < 0 || timers > 100) {
                why = "the number of timers \"" + c.arg + "\" is not 0..100";
                return false;
            }
            c.count = static_cast<int>(timers);
            return true;
        }
        if (w[1] == "screen" || w[1] == "no-screen" || w[1] == "shown" || w[1] == "no-shown") {
            c.op = w[1] == "screen"      ? Op::ExpectScreen
                   : w[1] == "no-screen" ? Op::ExpectNoScreen
                   : w[1] == "shown"     ? Op::ExpectShown
                                         : Op::ExpectNoShown;
            if (c.arg.empty()) {
                why = "the text to look for is empty";
                return false;
            }
            return true;
        }
        if (w[1] == "file" || w[1] == "no-file") {
            c.op = w[1] == "file" ? Op::ExpectFile : Op::ExpectNoFile;
            if (!sim::Disk::validName(c.arg)) {
                why = "\"" + c.arg + "\" is not a file name of the plug-in's folder";
                return false;
            }
            return true;
        }
        why = "expect what? \"" + w[1] + "\" (screen, no-screen, shown, no-shown, file, no-file, timers)";
        return false;
    }
    if (verb == "put") {
        if (!wantArgs(1, 1, "put NAME, then the file's lines, then a line \"end\""))
            return false;
        c.op = Op::Put;
        c.arg = w[1];
        if (!sim::Disk::validName(c.arg)) {
            why = "\"" + c.arg + "\" is not a file name of the plug-in's folder";
            return false;
        }
        return true;
    }
    why = "unknown command \"" + verb + "\"";
    return false;
}

// The lines after a put up to the line "end", each ended with CR LF as a PC writes them, into
// c.text. False when no "end" follows.
bool readPutLines(std::istringstream &in, int &lineNo, Command &c) {
    std::string line;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line.compare(first, std::string::npos, "end") == 0)
            return true;
        c.text += line + "\r\n";
    }
    return false;
}

}  // namespace

std::string noSuchChannel(const sim::Channels &channels, int svcType) {
    return "there is no such channel: the lineup has " + std::to_string(channels.count(svcType)) +
           (svcType == 0 ? " TV" : " radio") + " channels, numbered from 0";
}

std::vector<std::string> checkScriptChannels(const Script &script, const sim::Channels &channels) {
    std::vector<std::string> errors;
    for (const Command &c : script.commands) {
        if ((c.op == Op::Tune || c.op == Op::DumpGuide || c.op == Op::Record ||
             (c.op == Op::RecordStop && c.svcNum >= 0)) && !channels.find(c.svcType, c.svcNum))
            errors.push_back(script.name + ":" + std::to_string(c.line) + ": " + c.source + ": " +
                             noSuchChannel(channels, c.svcType));
    }
    return errors;
}

bool keyCode(const std::string &name, uint32_t &code) {
    std::string u = upper(name);
    for (const KeyName &k : kKeys) {
        if (u == k.name) {
            code = k.code;
            return true;
        }
    }
    if (u.size() > 2 && u[0] == '0' && u[1] == 'X') {
        uint32_t v = 0;
        if (parseUnsigned(name, v) && v != 0) {
            code = v;
            return true;
        }
    }
    return false;
}

std::vector<std::string> keyNames() {
    std::vector<std::string> names;
    std::vector<uint32_t> seen;
    for (const KeyName &k : kKeys) {
        bool alias = false;
        for (uint32_t c : seen)
            alias = alias || c == k.code;
        if (!alias) {
            names.push_back(k.name);
            seen.push_back(k.code);
        }
    }
    return names;
}

bool parseDuration(const std::string &text, int64_t &ms, bool limited) {
    char *end = nullptr;
    errno = 0;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end == text.c_str() || errno != 0 || !(v >= 0) || !std::isfinite(v))
        return false;
    std::string unit = end;
    double scale = unit == "ms"                   ? 1
                   : unit == "s" || unit.empty() ? 1000
                   : unit == "m"                 ? 60000
                   : unit == "h"                 ? 3600000
                                                 : -1;
    if (scale < 0 || (limited && v * scale > kMaxWaitMs) || v * scale > 9.0e15)
        return false;
    ms = static_cast<int64_t>(std::llround(v * scale));
    return true;
}

bool parseScript(const std::string &text, const std::string &name, Script &out, std::vector<std::string> &errors) {
    Script script;
    script.name = name;
    // A byte-order mark, as some editors save UTF-8, is no part of the first command.
    static const std::string kByteOrderMark = "\xEF\xBB\xBF";
    std::istringstream in(text.rfind(kByteOrderMark, 0) == 0 ? text.substr(kByteOrderMark.size()) : text);
    std::string line;
    int lineNo = 0;
    size_t errorsBefore = errors.size();
    while (std::getline(in, line)) {
        ++lineNo;
        std::vector<std::string> words;
        std::vector<bool> quoted;
        std::string why;
        if (!splitWords(line, words, quoted, why)) {
            errors.push_back(name + ":" + std::to_string(lineNo) + ": " + why);
            continue;
        }
        if (words.empty())
            continue;
        Command c;
        c.line = lineNo;
        c.source = line;
        while (!c.source.empty() && (c.source.back() == '\r' || c.source.back() == ' '))
            c.source.pop_back();
        bool parsed = !quoted[0] && parseCommand(words, quoted, c, why);
        // The lines of a put belong to it, also when its own line is wrong.
        if (!quoted[0] && words[0] == "put" && !readPutLines(in, lineNo, c) && parsed) {
            errors.push_back(name + ":" + std::to_string(c.line) + ": no line \"end\" closes the lines of " + c.arg);
            continue;
        }
        if (!parsed) {
            if (why.empty())
                why = "a command word is missing";
            errors.push_back(name + ":" + std::to_string(c.line) + ": " + why);
            continue;
        }
        script.commands.push_back(c);
    }
    if (errors.size() != errorsBefore)
        return false;
    out = std::move(script);
    return true;
}

}  // namespace rx
