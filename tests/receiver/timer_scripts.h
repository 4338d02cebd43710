// Shared by the receiver tests of recording and of the timer views: a script run by the receiver
// program on a fresh disk with given settings (Monday 2026-12-07 20:00, the demo lineup and
// guide), the firmware's JSON dumps read back, and the screen dump's lines.
// Example:
//   TempDir dir;
//   ScriptRun r = runScript(dir, {{COMBINE_TIMERS, 2}}, "key GUIDE\ndump timers {dir}/t.json\n");
//   EXPECT_EQ(objects(dir.file("t.json")), std::vector<std::string>{});
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/support.h"

namespace timerscripts {

// Settings words (byte offsets of the settings record).
enum {
    REC_STOP_ADD = 0,
    REC_LEAD_TIME = 4,
    REC_TUNER = 28,
    REC_NAME_MANUAL = 32,
    LANGUAGE_CHOICE = 84,
    COMBINE_TIMERS = 116,
    TIMERLIST_SORT = 120,
    MANUAL_TIMER_METHOD = 136,
    TIMER_NAME_DATE_REPLACE = 140
};

struct ScriptRun {
    int exitCode;
    std::string err;
};

// Runs a script on a fresh disk with the given settings; {dir} in the script stands for the test
// folder (for dumps).
inline ScriptRun runScript(const testsupport::TempDir &dir, std::initializer_list<std::pair<int, int32_t>> words,
                           std::string script) {
    std::string disk = dir.file("disk");
    std::filesystem::create_directories(disk);
    testsupport::writeFile(disk + "/Diro_ROD.Settings.DAT", testsupport::settingsImage(words));
    for (size_t at = script.find("{dir}"); at != std::string::npos; at = script.find("{dir}"))
        script.replace(at, 5, dir.path());
    auto r = testsupport::runReceiver({"--disk", disk, "--clock", "2026-12-07 20:00", "--script", "-"}, script);
    return {r.exitCode, r.err};
}

// The objects of a JSON array dump, one per line as the receiver writes them.
inline std::vector<std::string> objects(const std::string &path) { return testsupport::jsonObjects(path); }

// The recordings of a "dump recordings" in its list `list` ("running" or "done"), one object each.
inline std::vector<std::string> recordings(const std::string &path, const std::string &list) {
    std::string json = testsupport::readFile(path);
    size_t done = json.find("\"done\": [");
    if (done == std::string::npos)
        return {};
    std::string part = list == "done" ? json.substr(done) : json.substr(0, done);
    std::vector<std::string> out;
    for (size_t at = part.find("{\"slot\""); at != std::string::npos; at = part.find("{\"slot\"", at + 1))
        out.push_back(part.substr(at, part.find('}', at) + 1 - at));
    return out;
}

// A timer of a "dump timers" on a TV channel, on 2026-12-07 unless `start` names another day
// ("2026-12-08 20:00").
inline std::string timer(int index, const char *kind, int tuner, int channel, const std::string &start,
                         int minutes, const char *name, const char *mode = "OT") {
    return testsupport::timerJson(index, kind, tuner, channel, start, minutes, name, mode);
}

// The mark in row `row` of the Normal view as the screen dump shows it.
inline std::string mark(int row, const char *text, const char *colour) {
    return "623 " + std::to_string(113 + 36 * row + 2) + " 1 0xFFFFFFFF " + colour + " \"" + text + "\"";
}
inline const char *const kRed = "0xFFD20000";
inline const char *const kGreen = "0xFF008000";

// One line of a screen dump: x y size fg bg "text".
struct DumpedText {
    int x = 0, y = 0, size = 0;
    std::string fg, bg, text;
};

inline std::vector<DumpedText> screenTexts(const std::string &path) {
    std::vector<DumpedText> out;
    std::istringstream in(testsupport::readFile(path));
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        DumpedText t;
        if (!(fields >> t.x >> t.y >> t.size >> t.fg >> t.bg))
            continue;
        size_t open = line.find('"'), close = line.rfind('"');
        if (open != std::string::npos && close > open)
            t.text = line.substr(open + 1, close - open - 1);
        out.push_back(t);
    }
    return out;
}

// The text a dump shows at x in page row `row` (text baseline 113 + 36 row, or up to 6 pixels
// lower for a smaller font), or "(none)".
inline std::string textAt(const std::vector<DumpedText> &texts, int x, int row, std::string *bg = nullptr) {
    for (const DumpedText &t : texts)
        if (t.x == x && t.y >= 113 + 36 * row && t.y < 113 + 36 * row + 8) {
            if (bg)
                *bg = t.bg;
            return t.text;
        }
    return "(none)";
}

// The page row (0..10) whose text at x stands on a background no other row's has: the selected
// row; -1 when there is no such single row.
inline int selectedRow(const std::vector<DumpedText> &texts, int x) {
    std::string bg[11];
    for (int row = 0; row < 11; ++row)
        textAt(texts, x, row, &bg[row]);
    int found = -1;
    for (int row = 0; row < 11; ++row) {
        int same = 0;
        for (int other = 0; other < 11; ++other)
            same += !bg[row].empty() && bg[other] == bg[row];
        if (same == 1)
            found = found == -1 ? row : -2;
    }
    return found < 0 ? -1 : found;
}

}  // namespace timerscripts
