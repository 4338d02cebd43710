// The built-in demo: its script, its clock and its disk (see demo.h).
#include "receiver/demo.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace rx {

const char *const kDemoClock = "2026-12-07 20:00";

const std::string &demoScriptText() {
    static const std::string text = R"(# The demo: the plug-in has just started (its settings file asks for a warning
# when less than 999 GB are free, so the free-disk message shows), then the firmware tunes a
# few channels.
snap 01-start.png
dump screen 01-start.txt
wait 2s
tune tv:4
wait 1s
snap 02-zdf.png
tune tv:23
wait 1s
snap 03-orf1.png
# The remote's UP key: the plug-in passes it on and the firmware switches to the next channel.
key UP
snap 04-orf2.png
tune ra:5
wait 1s
snap 05-radio.png
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
