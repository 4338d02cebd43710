// The built-in demo: its script, its clock and its disk (see demo.h).
#include "receiver/demo.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

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
dump settings settings.txt
# The settings menu: MENU in the guide opens it on its first rows, the selected one highlighted.
# Two pages on, the language row redraws it in German; back on "auto", EXIT closes the menu and
# then the guide.
tune tv:0
wait 5s
key GUIDE
key MENU
wait 1s
snap 11-settings-menu.png
key >> x2
key DOWN x8
key RIGHT x2
wait 1s
snap 12-settings-menu-german.png
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
snap 13-search-list.png
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
snap 14-search-keyboard.png
key STOP
wait 1s
snap 15-search-editor.png
key DOWN x6
key RIGHT
key DOWN x3
key OK
key DOWN x3
wait 1s
snap 16-search-list-entry.png
key OK
key OK
key RED
wait 1s
snap 17-search-results.png
dump screen 17-search-results.txt
key EXIT x4
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

bool prepareDemoDisk(const std::string &diskDir, std::string &error) {
    std::error_code ec;
    std::filesystem::remove_all(diskDir, ec);
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
