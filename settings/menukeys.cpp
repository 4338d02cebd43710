// The settings menu's keys and its command rows (see menukeys.h).
#include "settings/menukeys.h"

#include "epgdb/bufferfile.h"
#include "export/channels.h"
#include "export/export.h"
#include "frame/startup.h"
#include "frame/state.h"
#include "remote/commands.h"
#include "search/record.h"
#include "settings/menu.h"
#include "settings/settings.h"
#include "timers/backup.h"
#include "views/window.h"

enum {
    MENU_SCROLL_LINE = 9,   // down from this line scrolls the page by a row
    MENU_PAGE_ROWS = 10,    // << and >> move the page by this many rows
    TIMER_LIST_BACKUP = 1,  // Create_TimerList: the backup file
    RESTORE_TIMERS = 2      // ReadCommandFile: the timer backup
};

// Digit 1 on a command row (rows counted from 1): the row's command, then the menu again.
// Row 61 empties the buffer, saves (the settings only when the menu holds changes) and closes
// the menu. Returns 1 when the row is a command row, else 0.
static int menu_command(int row)
{
    switch (row) {
    case MENU_ROW_EXPORT:
        ExportCSV(1);
        ExportHTML(1);
        break;
    case MENU_ROW_SEARCH_RECORD:
        SearchAndRecord(1);
        break;
    case MENU_ROW_CHANNEL_LIST:
        Create_ChannelList();
        break;
    case MENU_ROW_COMMAND_FILE:
        ReadCommandINI();
        break;
    case MENU_ROW_TIMER_BACKUP:
        Create_TimerList(TIMER_LIST_BACKUP);
        break;
    case MENU_ROW_TIMER_RESTORE:
        ReadCommandFile(RESTORE_TIMERS);
        break;
    case MENU_ROW_CLEAR_BUFFER:
        Menu_EmptyBuffer();
        if (menu == 2)
            SaveSettingsFile();
        SaveBufferFile();
        menu = 0;
        longinfo_site = 1;
        DrawEPG(0);
        return 1;
    default:
        return 0;
    }
    // The command's messages are gone: the menu shows again.
    DrawEPG(0);
    return 1;
}

dword Keys_SettingsMenu(dword key)
{
    int row = ListOffset + cursor + 1;
    switch (key) {
    case RKEY_Up:
        // The page stays: << goes back a page.
        if (cursor > 0)
            cursor--;
        Settings_Menu(0);
        return 0;
    case RKEY_Down:
        if (cursor < MENU_SCROLL_LINE)
            cursor++;
        else
            ListOffset++;
        Settings_Menu(0);
        return 0;
    case RKEY_Left:
    case RKEY_Right:
        if (ListOffset < MENU_STEPPED_BELOW && Settings_Menu(key == RKEY_Left ? -1 : 1))
            menu = 2;
        return 0;
    case RKEY_Rewind:
        ListOffset -= MENU_PAGE_ROWS;
        if (ListOffset < 0)
            ListOffset = 0;
        Settings_Menu(0);
        return 0;
    case RKEY_Forward:
        ListOffset += MENU_PAGE_ROWS;
        Settings_Menu(0);
        return 0;
    case RKEY_1:
        menu_command(row);
        return 0;
    case RKEY_0:
        if (row == MENU_ROW_DELETE_FILES)
            Delete_Files_Exit();
        return 0;
    case RKEY_Stop:
        Stop_Exit();
        return 0;
    default:
        return 0;
    }
}
