// The keys of the settings menu: moving through the rows and pages, stepping values, and the
// commands of rows 55 to 62. The dispatch (frame/dispatch.cpp) keeps MENU, OK and EXIT, which
// close the menu, and hands the other keys here through the key table (frame/keys.cpp).
// Leans on settings/menu (drawing, editing) and on the subsystems the commands call.
#ifndef DIRO_SETTINGS_MENUKEYS_H
#define DIRO_SETTINGS_MENUKEYS_H

#include "frame/platform/tap.h"

enum {
    MENU_STEPPED_BELOW = 60   // left and right change values while the page starts above row 61
};

// A key while the settings menu is open (menu 1 or 2): up and down move the cursor (down from
// line 9 scrolls a row), << and >> page by ten rows, left and right step the selected value
// (menu becomes 2 when it changed), digit 1 starts the command of rows 55 to 61, digit 0 on
// row 62 deletes the buffer and settings files and ends the plug-in, STOP ends the plug-in.
// Returns 0 (the key is consumed). Changes cursor, ListOffset, menu and what the rows change.
dword Keys_SettingsMenu(dword key);

#endif
