// Fuzzes the settings file "Diro_ROD.Settings.DAT": the input is the file. It is read and
// validated in the order of the plug-in's start-up, then the guide and every page of the settings
// menu are drawn with the values it left (a value let through out of range shows there as an
// index past a table).
// Checked: validation leaves a record that validates to itself, and the guide and menu open.
#include <cstdio>
#include <cstring>

#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "frame/epgkeys.h"
#include "frame/startup.h"
#include "frame/state.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "tests/fuzz/fuzz_support.h"
#include "timers/names.h"

enum { MENU_PAGES = 7, CLOSE_TRIES = 4 };

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    sim::Receiver &rx = fuzzsupport::receiver();
    fuzzsupport::putFile(SETTINGS_FILE_NAME, data, size);

    // The start-up's steps up to the channel limit, as TAP_Main takes them, less those that last
    // beyond a run (the OSD region, the search files, a scan start, the disk warning).
    ReadClock();
    TAP_Channel_GetCurrent(&_svcType, &_svcNum);
    CountChannels();
    LoadSettingsAndBuffer();
    SettleStartSettings();

    // The plug-in validates again every other second while the guide is hidden.
    Settings checked;
    std::memcpy(&checked, &settings, sizeof checked);
    Check_Settings();
    for (int at = 0; at < SETTINGS_BYTES; at += 4) {
        int32_t was, now;
        std::memcpy(&was, reinterpret_cast<const char *>(&checked) + at, 4);
        std::memcpy(&now, reinterpret_cast<const char *>(&settings) + at, 4);
        if (was != now)
            std::fprintf(stderr, "settings word %d: %d, validated again %d\n", at, int(was), int(now));
    }
    FUZZ_CHECK(std::memcmp(&checked, &settings, sizeof checked) == 0, "a validated record changes when validated again");

    rx.pressKey(first_EPG_key);
    FUZZ_CHECK(_epgShow == 1, "the first EPG button opens the guide");
    rx.pressKey(RKEY_Menu);
    FUZZ_CHECK(menu == 1, "MENU opens the settings menu");
    for (int page = 0; page < MENU_PAGES; ++page)
        rx.pressKey(RKEY_Forward);
    for (int i = 0; i < CLOSE_TRIES && (_epgShow != 0 || menu != 0); ++i)
        rx.pressKey(RKEY_Exit);
    FUZZ_CHECK(_epgShow == 0 && menu == 0, "EXIT closes the menu and the guide");
    return 0;
}
