// Writes the files the plug-in keeps on the receiver's disk from one fixed state into a folder:
// run on the PC and on the receiver's processor, the two folders must hold the same bytes.
// Usage: golden_files OUTDIR
#include <cstdio>
#include <string>

#include "settings/settings.h"
#include "tests/support/support.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: golden_files OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    // German texts, user colours, a few settings away from their defaults.
    testsupport::writeFile(dir + "/" SETTINGS_FILE_NAME,
                           testsupport::settingsImage({{0, 10}, {4, 2}, {28, 2}, {84, 2}, {164, -1}, {144, 1230},
                                                       {400, 12345}, {452, -1}}));
    testsupport::LinkedOptions options;
    options.clock = "2026-12-07 21:15";
    auto rx = testsupport::linkedReceiver(dir, options);
    if (!rx->pluginRunning()) {
        std::fprintf(stderr, "golden_files: the plug-in did not start: %s\n", rx->error().c_str());
        return 1;
    }
    settings.view = 0;
    saved_view = 0;
    if (SaveSettingsFile() != 0) {
        std::fprintf(stderr, "golden_files: saving the settings failed\n");
        return 1;
    }
    std::printf("%s\n", dir.c_str());
    return 0;
}
