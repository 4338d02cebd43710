// The built-in demo: its script, its clock and its disk (see demo.h).
#include "receiver/demo.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace rx {

const char *const kDemoClock = "2026-12-07 20:00";

const std::string &demoScriptText() {
    static const std::string text = R"(# The demo: the plug-in has just started (its settings file asks for a warning
# when less than 999 GB are free, so the free-disk message shows); OK takes the message away.
snap 01-start.png
dump screen 01-start.txt
wait 2s
key OK
# The firmware tunes a few channels; meanwhile the plug-in fills its guide in the background.
tune tv:4
wait 1s
snap 02-zdf.png
tune tv:23
wait 1s
snap 03-orf1.png
tune tv:24
wait 1s
snap 04-orf2.png
tune ra:5
wait 1s
snap 05-radio.png
# The guide on the first channel: GUIDE opens the list of its events with the running one
# selected, the channel's number and name, the date, the clock and the time bar.
tune tv:0
wait 5s
key GUIDE
wait 1s
snap 06-guide.png
dump screen 06-guide.txt
# Two events down, then the next channel.
key DOWN x2
wait 1s
snap 07-guide-down.png
key RIGHT
wait 1s
snap 08-guide-next-channel.png
# A quarter hour on: the list follows the chosen time, shown in red in the title.
key >|
wait 1s
snap 09-guide-chosen-time.png
key EXIT
# The remote's UP key with the guide closed: the plug-in passes it on and the firmware switches
# to the next channel.
key UP
wait 1s
snap 10-next-channel.png
# Recording: RECORD on Das Erste's 21:00 event sets a timer in the receiver's table (3 minutes
# before, 15 after, on the second tuner); its row shows the mark "T2".
tune tv:0
wait 5s
key GUIDE
key DOWN x2
key RECORD
wait 1s
snap 11-record.png
# ZDF at 21:00: the second tuner is taken then, so the timer goes to the first ("T1").
key RIGHT x4
key DOWN x2
key RECORD
wait 1s
snap 12-record-first-tuner.png
# RTL at 21:05, a third transponder: both tuners are taken, the box names the timer in the way.
key RIGHT x4
key DOWN x2
key RECORD
wait 1s
snap 13-timer-collision.png
dump screen 13-timer-collision.txt
key EXIT
key EXIT
dump timers timers.json
dump settings settings.txt
# The Now view (OK, the second EPG button): one channel a row with its running event, the
# channel on air selected.
wait 1m
key OK
wait 1s
snap 14-now-view.png
# A quarter hour on: every channel's event at 20:15. The info key opens the bar under the rows
# with the selected event's description, pressed again the window with all of it.
key >|
key DOWN x6
key INFO
wait 1s
snap 15-info-bar.png
key INFO
wait 1s
snap 16-info-window.png
# EXIT goes back to the bar; the help key shows what the keys do, and any key closes it.
key EXIT
key HELP
wait 1s
snap 17-help.png
key EXIT
key EXIT
# The settings menu: MENU in the guide opens it on its first rows, the selected one highlighted.
# Two pages on, the language row redraws it in German; back on "auto", EXIT closes the menu and
# then the guide.
tune tv:0
wait 5s
key GUIDE
key MENU
wait 1s
snap 18-settings-menu.png
key >> x2
key DOWN x8
key RIGHT x2
wait 1s
snap 19-settings-menu-german.png
key RIGHT x2
key EXIT
key EXIT
# Search words: two minutes on, the guide holds every channel's week. |> (SLOW) in the guide opens
# the search list with the selected event's title in its first row; BLUE opens the on-screen
# keyboard for a new word (T A T O R T typed with the cursor keys and OK), STOP takes it into the
# search editor; its mode row makes the word a marker (M) and its last row saves it into the
# list. OK on the entry opens it again, OK on the editor's first row searches the guide, RED
# sorts the events found by time.
wait 2m
key GUIDE
key SLOW
wait 1s
snap 20-search-list.png
key BLUE
key DOWN
key LEFT
key OK
key UP
key RIGHT
key OK
key DOWN
key LEFT
key OK
key LEFT x5
key OK
key RIGHT x3
key OK
key RIGHT x2
key OK
wait 1s
snap 21-search-keyboard.png
key STOP
wait 1s
snap 22-search-editor.png
key DOWN x6
key RIGHT
key DOWN x3
key OK
key DOWN x3
wait 1s
snap 23-search-list-entry.png
key OK
key OK
key RED
wait 1s
snap 24-search-results.png
dump screen 24-search-results.txt
key EXIT x4
# The timer list: the timer-list key in the guide shows the two timers set above, YELLOW orders
# them by time; OK opens the second in the timer editor, where LEFT on the tuner row makes it
# "whichever tuner is free" (4); EXIT leaves the timer as it was.
key GUIDE
key TIMERLIST
key YELLOW
key DOWN
wait 1s
snap 25-timer-list.png
key OK
key UP x3
key LEFT
wait 1s
snap 26-timer-editor.png
dump screen 26-timer-editor.txt
key EXIT x3
# Recording by search words: in its editor TATORT becomes a Rec word (two steps on from M) and
# is saved; the settings menu's row 56 sets its timers at once, for the events of the next 26
# hours. S2 in the search list finds them again, sorted by time: those with a timer show its mark.
key GUIDE
key SLOW
key DOWN x3
key OK
key DOWN x6
key RIGHT x2
key DOWN x3
key OK
key EXIT
key MENU
key >> x5
key DOWN x5
key 1
key EXIT
key SLOW
key DOWN
key OK
key RED
wait 1s
snap 27-search-timers.png
dump screen 27-search-timers.txt
dump timers timers-by-search-words.json
key EXIT x3
)";
    return text;
}

std::string demoSettingsImage() {
    std::string bytes;
    for (int off = 0; off < 512; off += 4) {
        int32_t v = off == 24 ? 999 : -512;
        uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((u >> (8 * i)) & 0xFF);
    }
    return bytes;
}

// Files an earlier demo run leaves on its disk: the plug-in's own ("Diro_ROD.*" and its lists)
// and the firmware's recordings.
static bool demoWrote(const std::filesystem::directory_entry &entry) {
    std::error_code ec;
    if (!entry.is_regular_file(ec))
        return false;
    std::string name = entry.path().filename().string();
    return name.rfind("Diro_ROD.", 0) == 0 || name == "Timer_List.txt" || name == "TV_Channel_List.txt" ||
           name == "Radio_Channel_List.txt" || (name.size() > 4 && name.compare(name.size() - 4, 4, ".rec") == 0);
}

bool prepareDemoDisk(const std::string &diskDir, std::string &error, std::string *replaced) {
    std::error_code ec;
    std::vector<std::filesystem::path> earlier;
    if (std::filesystem::exists(diskDir, ec)) {
        if (!std::filesystem::is_directory(diskDir, ec)) {
            error = "the demo disk " + diskDir + " is a file, not a folder: give --demo a folder of its own";
            return false;
        }
        std::vector<std::string> foreign;
        for (const auto &entry : std::filesystem::directory_iterator(diskDir, ec)) {
            if (demoWrote(entry))
                earlier.push_back(entry.path());
            else
                foreign.push_back(entry.path().filename().string());
        }
        if (!foreign.empty()) {
            std::string names;
            for (size_t i = 0; i < foreign.size() && i < 3; ++i)
                names += (i ? ", " : "") + foreign[i];
            if (foreign.size() > 3)
                names += ", ...";
            error = "the demo disk " + diskDir + " holds files the demo did not write (" + names +
                    "): give --demo a folder of its own";
            return false;
        }
    }
    for (const auto &path : earlier)
        std::filesystem::remove(path, ec);
    if (replaced)
        *replaced = earlier.empty() ? ""
                                    : std::to_string(earlier.size()) + (earlier.size() == 1 ? " file" : " files") +
                                          " of an earlier demo replaced";
    std::filesystem::create_directories(diskDir, ec);
    if (ec) {
        error = "cannot create the demo disk " + diskDir + ": " + ec.message();
        return false;
    }
    std::string path = (std::filesystem::path(diskDir) / "Diro_ROD.Settings.DAT").string();
    std::ofstream f(path, std::ios::binary);
    f << demoSettingsImage();
    if (!f) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace rx
