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
