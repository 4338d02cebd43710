// The search list view and its keys (see list.h).
//
// Sections:
//   --- Texts ---
//   --- Drawing ---
//   --- Keys ---
#include "search/list.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/lookup.h"
#include "frame/keys.h"
#include "frame/state.h"
#include "search/editor.h"
#include "search/entries.h"
#include "search/keyboard.h"
#include "search/search.h"
#include "search/textfield.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "views/help.h"
#include "views/window.h"

enum {
    LINE_SIZE = 160,                // bytes of a formatted text
    FIXED_WORD_MAX = 100,           // characters of the working word shown in S1
    PAGE_STEP = 10,                 // << and >>
    // Columns, x .. right limit.
    TITLE_X = 109, TITLE_RIGHT = 459, POSITION_RIGHT = 564,
    NUMBER_X = 61, NUMBER_RIGHT = 103,
    WORD_X = 109, WORD_RIGHT = 459,
    FIRST_X = 461, FIRST_RIGHT = 499,
    LAST_X = 501, LAST_RIGHT = 539,
    MODE_X = 541, MODE_RIGHT = 573,
    LEAD_X = 575, LEAD_RIGHT = 615,
    STOP_X = 617, STOP_RIGHT = 657,
    LINE_FILL_X = 60, LINE_FILL_W = 598, LINE_FILL_H = 33,   // a row's box, from 3 pixels above its text
    DIVIDER_W = 2,
    DIVIDERS_H = SEARCH_LIST_LINES * WINDOW_ROW_PITCH,
    STATUS_X = 60, STATUS_Y = 470, STATUS_W = 598, STATUS_H = 33,
    STATUS_TEXT_X = 69, STATUS_TEXT_Y = 473, STATUS_WORD_RIGHT = 457, STATUS_RIGHT = 655
};

static const dword MODE_P_COLOR = 0xFF008000;     // the mode column's "P"
static const dword MODE_REC_COLOR = 0xFFD20000;   // ... "R" and "1"

// The column lines of the page: the number column's and those between the entry's fields.
static const short divider_x[] = {NUMBER_RIGHT, TITLE_RIGHT, FIRST_RIGHT, LAST_RIGHT, MODE_RIGHT, LEAD_RIGHT};

// SearchAll's selection for settings.search_all_modes 0..3: all but Off, M, P, Rec and 1xRec.
static const int kinds_selection[SEARCH_ALL_MODES_MAX + 1] = {SEARCH_ALL_ACTIVE, SEARCH_MODE_M, SEARCH_MODE_P,
                                                              SEARCH_ALL_RECORDING};

// --- Texts ---

// One row per text: English, German, Finnish ("" shows the English one).
static const char *const title_text[] = {" Search Word List", " Suchwortliste", " Hakusanalista"};
static const char *const search_word_text[] = {" Search ", " Suche ", " Hae "};
static const char *const search_all_text[] = {" Search all search words", " Suche nach alle Suchworte",
                                              " Hae kaikkia hakusanoja"};
static const char *const search_kinds_text[] = {" Search all ", " Suche alle ", " Hae kaikki "};
static const char *const press_text[] = {" (press V-,V+)", "", " (paina V-,V+)"};
static const char *const kinds_text[SEARCH_ALL_MODES_MAX + 1] = {"M&P&R", "M", "P", "R"};
static const char *const days_text[] = {"(WD)", "(WE)", "(ED)"};   // weekday codes 7, 8, 9

#define LANG_TEXT(row) LangText((row)[0], (row)[1], (row)[2])

// The weekday label of the status line: the day's abbreviation, or (WD), (WE), (ED).
static const char *days_label(int weekdays)
{
    if (weekdays >= 0 && weekdays < WEEKDAYS)
        return LangText(weekDay_name[0][weekdays], weekDay_name[1][weekdays], weekDay_name[2][weekdays]);
    if (weekdays >= SEARCH_DAYS_WD && weekdays <= SEARCH_DAYS_ED)
        return days_text[weekdays - SEARCH_DAYS_WD];
    return days_text[SEARCH_DAYS_ED - SEARCH_DAYS_WD];
}

// --- Drawing ---

static int list_count(void)
{
    if (max_Search < 0)
        return 0;
    return max_Search > SEARCH_LIST_SIZE ? SEARCH_LIST_SIZE : max_Search;
}

// The selection never lies beyond the last entry: the page comes back first, then the cursor.
// Changes ListOffset, cursor.
static void keep_selection_in_range(void)
{
    int count = list_count();
    if (cursor < 0)
        cursor = 0;
    if (cursor > SEARCH_LIST_LINES - 1)
        cursor = SEARCH_LIST_LINES - 1;
    if (ListOffset < 0)
        ListOffset = 0;
    int entry = ListOffset + cursor - SEARCH_LIST_FIXED_ROWS;
    while (entry >= count && ListOffset > 0) {
        entry--;
        ListOffset--;
    }
    while (cursor > 0 && ListOffset + cursor - SEARCH_LIST_FIXED_ROWS >= count)
        cursor--;
}

static void draw_title(void)
{
    char line[LINE_SIZE];
    PutFittingText(rgn, TITLE_X, WINDOW_TITLE_Y, TITLE_RIGHT, LANG_TEXT(title_text), font_red, titlebox_color,
                   ALIGN_LEFT);
    int entry = ListOffset + cursor - SEARCH_LIST_FIXED_ROWS;
    if (entry >= 0)
        snprintf(line, sizeof line, " %d/%d", entry + 1, max_Search);
    else
        snprintf(line, sizeof line, " -/%d", max_Search);
    PutFittingText(rgn, TITLE_RIGHT, WINDOW_TITLE_Y, POSITION_RIGHT, line, font_red, titlebox_color, ALIGN_LEFT);
}

// The text of a fixed row into line (LINE_SIZE bytes). Drawing S1 sets the working entry's
// window to any time of day.
static void fixed_row_text(int row, char *line)
{
    if (row == SEARCH_ROW_WORKING) {
        SearchEntry *working = &Search[SEARCH_WORKING];
        working->window_start = 0;
        working->window_end = 0;
        snprintf(line, LINE_SIZE, "%s\"%.*s\"", LANG_TEXT(search_word_text), FIXED_WORD_MAX, working->word);
    } else if (row == SEARCH_ROW_ALL) {
        snprintf(line, LINE_SIZE, "%s", LANG_TEXT(search_all_text));
    } else {
        int kinds = settings.search_all_modes;
        if (kinds < 0 || kinds > SEARCH_ALL_MODES_MAX)
            kinds = 0;
        snprintf(line, LINE_SIZE, "%s\"%s\"%s", LANG_TEXT(search_kinds_text), kinds_text[kinds],
                 LANG_TEXT(press_text));
    }
}

// A centred number of an entry's column.
static void put_number(int x, int y, int right, int value, dword fg, dword bg)
{
    char line[LINE_SIZE];
    snprintf(line, sizeof line, "%d", value);
    PutFittingText(rgn, x, y, right, line, fg, bg, ALIGN_CENTER);
}

// The mode column: nothing for Off, "M" in the row's colours, "P" on green, "R" and "1" on red.
static void put_mode(int y, int mode, dword fg, dword bg)
{
    if (mode == SEARCH_MODE_M)
        PutFittingText(rgn, MODE_X, y, MODE_RIGHT, "M", fg, bg, ALIGN_CENTER);
    else if (mode == SEARCH_MODE_P)
        PutFittingText(rgn, MODE_X, y, MODE_RIGHT, "P", font2_color, MODE_P_COLOR, ALIGN_CENTER);
    else if (mode == SEARCH_MODE_REC || mode == SEARCH_MODE_1XREC)
        PutFittingText(rgn, MODE_X, y, MODE_RIGHT, mode == SEARCH_MODE_REC ? "R" : "1", font2_color, MODE_REC_COLOR,
                       ALIGN_CENTER);
}

// The fields of list entry `entry` in a row; the timer offsets are grey where no timer is made.
static void draw_entry(int entry, int y, dword fg, dword bg)
{
    const SearchEntry *e = &Search[entry];
    char line[LINE_SIZE];
    snprintf(line, sizeof line, "%3d.", entry + 1);
    PutFittingText(rgn, NUMBER_X, y, NUMBER_RIGHT, line, fg, bg, ALIGN_LEFT);
    snprintf(line, sizeof line, " %s", e->word);
    PutFittingText(rgn, WORD_X, y, WORD_RIGHT, line, fg, bg, ALIGN_LEFT);
    put_number(FIRST_X, y, FIRST_RIGHT, e->first_place, fg, bg);
    put_number(LAST_X, y, LAST_RIGHT, e->last_place, fg, bg);
    put_mode(y, e->mode, fg, bg);
    dword offsets = e->mode == SEARCH_MODE_OFF || e->mode == SEARCH_MODE_M ? font_gray : fg;
    put_number(LEAD_X, y, LEAD_RIGHT, e->lead_time, offsets, bg);
    put_number(STOP_X, y, STOP_RIGHT, e->stop_add, offsets, bg);
}

// Page line `line` (0..9): a fixed row, an entry, or an empty row below the end of the list.
static void draw_line(int line)
{
    int row = ListOffset + line;
    int entry = row - SEARCH_LIST_FIXED_ROWS;
    int y = WINDOW_TEXT_Y + WINDOW_ROW_PITCH * line;
    int selected = line == cursor;
    dword bg = selected ? box1_color : box2_color;
    char text[LINE_SIZE];

    TAP_Osd_FillBox(rgn, LINE_FILL_X, y - 3, LINE_FILL_W, LINE_FILL_H, bg);
    if (row < SEARCH_LIST_FIXED_ROWS) {
        dword fg = selected ? font_boxselected : font_selected_color;
        snprintf(text, sizeof text, " S%d", row + 1);
        PutFittingText(rgn, NUMBER_X, y, NUMBER_RIGHT, text, fg, bg, ALIGN_LEFT);
        fixed_row_text(row, text);
        PutFittingText(rgn, WORD_X, y, WORD_RIGHT, text, fg, bg, ALIGN_LEFT);
    } else if (entry < list_count()) {
        draw_entry(entry, y, selected ? font1_color : font2_color, bg);
    }
}

// The status line: the selected entry's word, its weekdays and time window; on S1 the working
// word across the whole line; blank on S2 and S3.
static void draw_status(void)
{
    char line[LINE_SIZE];
    TAP_Osd_FillBox(rgn, STATUS_X, STATUS_Y, STATUS_W, STATUS_H, statusbox_color);
    int row = ListOffset + cursor;
    int entry = row - SEARCH_LIST_FIXED_ROWS;
    if (row == SEARCH_ROW_WORKING) {
        snprintf(line, sizeof line, " %s", Search[SEARCH_WORKING].word);
        PutFittingText(rgn, STATUS_TEXT_X, STATUS_TEXT_Y, STATUS_RIGHT, line, font2_color, statusbox_color,
                       ALIGN_LEFT);
        return;
    }
    if (entry < 0 || entry >= list_count())
        return;
    const SearchEntry *e = &Search[entry];
    snprintf(line, sizeof line, " %s", e->word);
    PutFittingText(rgn, STATUS_TEXT_X, STATUS_TEXT_Y, STATUS_WORD_RIGHT, line, font2_color, statusbox_color,
                   ALIGN_LEFT);
    snprintf(line, sizeof line, "%s  %02d:%02d - %02d:%02d", days_label(e->weekdays), e->window_start / 60,
             e->window_start % 60, e->window_end / 60, e->window_end % 60);
    PutFittingText(rgn, STATUS_WORD_RIGHT, STATUS_TEXT_Y, STATUS_RIGHT, line, font2_color, statusbox_color,
                   ALIGN_CENTER);
}

void SearchList(void)
{
    keep_selection_in_range();
    draw_title();
    for (int line = 0; line < SEARCH_LIST_LINES; line++)
        draw_line(line);
    for (size_t i = 0; i < sizeof divider_x / sizeof divider_x[0]; i++)
        TAP_Osd_FillBox(rgn, divider_x[i], WINDOW_ROW_TOP, DIVIDER_W, DIVIDERS_H, fineline_color);
    draw_status();
    TAP_Osd_Sync();
}

// --- Keys ---

// The list's position to come back to from the editor or a result list.
static void keep_list_position(void)
{
    ListOffset_store2 = ListOffset;
    cursor_store2 = cursor;
}

// S2 and S3: a search with the entries of the selection; the results follow.
static void search_with_entries(int selection)
{
    keep_list_position();
    SearchAll(selection, 1);
    Search_ShowResults(SEARCH_SHOWS_LIST_RESULTS);
}

static void ok_key(void)
{
    int row = ListOffset + cursor;
    int entry = row - SEARCH_LIST_FIXED_ROWS;
    if (row == SEARCH_ROW_WORKING) {
        SearchEntryDefaults(&Search[SEARCH_WORKING]);
        Search_OpenEditor(SEARCH_WORKING, SEARCH_EDITOR_ROW_WORD, 1);
    } else if (row == SEARCH_ROW_ALL) {
        search_with_entries(SEARCH_ALL_ENTRIES);
    } else if (row == SEARCH_ROW_KINDS) {
        int kinds = settings.search_all_modes;
        search_with_entries(kinds_selection[kinds >= 0 && kinds <= SEARCH_ALL_MODES_MAX ? kinds : 0]);
    } else if (entry < list_count()) {
        Search_OpenEditor(entry, SEARCH_EDITOR_ROW_WORD, 1);
    }
}

// LEFT and RIGHT: S3's kinds one step round, or the selected entry one place up or down with
// the selection following it; the file is written after a move.
static void step_key(int direction)
{
    int row = ListOffset + cursor;
    int entry = row - SEARCH_LIST_FIXED_ROWS;
    if (row == SEARCH_ROW_KINDS) {
        int kinds = settings.search_all_modes + direction;
        settings.search_all_modes = kinds < 0 ? SEARCH_ALL_MODES_MAX : kinds > SEARCH_ALL_MODES_MAX ? 0 : kinds;
        SearchList();
        return;
    }
    int other = entry + direction;
    if (entry < 0 || entry >= list_count() || other < 0 || other >= list_count())
        return;
    SortManualSearch(entry, direction);
    if (direction < 0) {
        if (cursor > 0)
            cursor--;
        else
            ListOffset--;
    } else if (cursor < SEARCH_LIST_LINES - 1) {
        cursor++;
    } else {
        ListOffset++;
    }
    SearchList();
    SaveSearch();
}

// RED, GREEN, YELLOW: the list sorted, written and shown from the top.
static void sort_key(int kind)
{
    SortSearch(kind);
    SaveSearch();
    cursor = 0;
    ListOffset = 0;
    DrawEPG(1);
}

// BLUE: a new entry with a word typed on the keyboard, which opens empty; the editor follows
// when it closes (the dispatch draws it).
static void keyboard_key(void)
{
    keep_list_position();
    SearchEntryDefaults(&Search[SEARCH_WORKING]);
    search_idx = SEARCH_WORKING;
    Cut_Start = 0;
    Cut_End = 0;
    save_or_del = 1;
    search_mode = SEARCH_SHOWS_EDITOR;
    cursor = SEARCH_EDITOR_ROW_WORD;
    ListOffset = 0;
    keyboard_mode = KEYB_MODE_CAPITALS;
    keyboard_idx = 0;
    char empty[1] = {0};
    Keyboard(1, 0, empty, SEARCH_KEYBOARD_LIMIT);
    TAP_Osd_Sync();
}

dword Keys_SearchList(dword key)
{
    int entry = ListOffset + cursor - SEARCH_LIST_FIXED_ROWS;
    switch (key) {
    case RKEY_Up:
        if (cursor > 0)
            cursor--;
        else if (ListOffset > 0)
            ListOffset--;
        SearchList();
        return 0;
    case RKEY_Down:
        if (cursor < SEARCH_LIST_LINES - 1)
            cursor++;
        else
            ListOffset++;
        SearchList();
        return 0;
    case RKEY_Rewind:
    case RKEY_Forward:
        ListOffset += key == RKEY_Rewind ? -PAGE_STEP : PAGE_STEP;
        SearchList();
        return 0;
    case RKEY_Left:
    case RKEY_Right:
        step_key(key == RKEY_Left ? -1 : 1);
        return 0;
    case RKEY_Ok:
        ok_key();
        return 0;
    case RKEY_Help:
        if (entry >= 0 && entry < list_count())
            Search_OpenEditor(entry, SEARCH_EDITOR_ROW_SAVE, 0);
        return 0;
    case RKEY_Red:
        sort_key(1);
        return 0;
    case RKEY_Green:
        sort_key(2);
        return 0;
    case RKEY_Yellow:
        sort_key(3);
        return 0;
    case RKEY_Blue:
        keyboard_key();
        return 0;
    case RKEY_Info:
        HelpSearchlist();
        return 0;
    case RKEY_Slow:
        search_mode = 0;
        cursor = 0;
        Keys_BackToViewPosition();
        DrawEPG(0);
        return 0;
    default:
        return 0;
    }
}
