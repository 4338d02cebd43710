// The settings menu: the settings record as a numbered list of 62 rows, eleven to a page, in the
// user-interface language. Rows 1 to 54 each show and edit one setting; rows 55 to 62 name the
// commands that settings/menukeys.cpp starts with a number key. The menu keeps no data of its
// own: its page is ListOffset (rows above the page) and cursor (line 0..10) of frame/state.
// Leans on settings/ (record, language, colours), frame/epgkeys (EPG buttons), search/values
// (EditValue), epgdb/buffer (emptying the buffer) and views/window (the frame it draws into).
//
// Layout, OSD pixels: " Menu" and the heading "Settings" in the title box at y 76; page line i
// (0..10) has its texts at y 113 + 36 i: the row number at x 61..103, the value at x 109..199,
// the label at x 201..655. A text too wide for its box is drawn in a smaller font size.
#ifndef DIRO_SETTINGS_MENU_H
#define DIRO_SETTINGS_MENU_H

enum {
    MENU_ROWS = 62,               // rows 1..62
    MENU_PAGE_LINES = 11,         // lines of a page, 0..10
    MENU_ROW_EXPORT = 55,         // the command rows, started with digit 1 ...
    MENU_ROW_SEARCH_RECORD = 56,
    MENU_ROW_CHANNEL_LIST = 57,
    MENU_ROW_COMMAND_FILE = 58,
    MENU_ROW_TIMER_BACKUP = 59,
    MENU_ROW_TIMER_RESTORE = 60,
    MENU_ROW_CLEAR_BUFFER = 61,
    MENU_ROW_DELETE_FILES = 62    // ... and this one with digit 0
};

// Draws the menu's page. step 0 only redraws; any other step first changes the value of the row
// under the cursor by step (the row's rule: wrap or stop at the ends; a key held three seconds
// or more moves times and positions in tens) and applies what the change needs at once (EPG
// buttons, language, colours, the view in use, emptying the buffer). ListOffset and cursor are
// first brought back so that the selected row exists.
// Returns 1 when a value changed (the menu then holds changes to save), else 0.
// Changes ListOffset, cursor, the edited setting (settings, saved_view, saved_titletimebar,
// saved_nowtimebar) and what the row's rule touches: first_EPG_key, second_EPG_key, language,
// the colour globals, settings.view, settings.timebar_title, settings.timebar_now,
// settings.scan_window_end, settings.scan_max_channels, settings.ext_info_channels, the EPG buffer.
int Settings_Menu(int step);

// Empties the EPG data base in memory: every channel slot, the scratch slot and the search
// results (whose texts pointed into the freed blocks). Changes the EPG buffer's slots.
void Menu_EmptyBuffer(void);

#endif
