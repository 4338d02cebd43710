// The search editor and its keys (see editor.h).
//
// Sections:
//   --- Texts ---
//   --- The word and its cuts ---
//   --- Editing ---
//   --- Drawing ---
//   --- Opening, searching, saving ---
//   --- Keys ---
#include "search/editor.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/lookup.h"
#include "frame/msgbox.h"
#include "frame/state.h"
#include "search/entries.h"
#include "search/keyboard.h"
#include "search/search.h"
#include "search/textfield.h"
#include "search/values.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "views/help.h"
#include "views/window.h"

unsigned char search_idx = SEARCH_WORKING;
unsigned char save_or_del = 1;
int Cut_Start;
int Cut_End;

enum {
    LINE_SIZE = 160,                // bytes of a formatted text
    CHANNEL_NAME_MAX = 22,          // characters of a channel's name in rows 2 and 3
    TITLE_X = 109, TITLE_RIGHT = 524,
    NUMBER_X = 61, NUMBER_RIGHT = 103,
    VALUE_X = 109, VALUE_RIGHT = 199,
    LABEL_X = 201, LABEL_RIGHT = 655,
    LINE_FILL_X = 60, LINE_FILL_W = 598, LINE_FILL_H = 33,   // a row's box, from 3 pixels above its text
    COLUMN_LINE_W = 2,
    STATUS_X = 60, STATUS_Y = 470, STATUS_W = 598, STATUS_H = 33,
    STATUS_TEXT_X = 69, STATUS_TEXT_Y = 473, STATUS_RIGHT = 655,
    DAY_MINUTES = 1440,
    HOUR_STEP = 60,                 // << and >> on the window's rows
    HELD_FOR_TENS = 3,              // Key_TimeCount from which the window moves ten times as fast ...
    HELD_FOR_HALF_HOURS = 5,        // ... and thirty times
    OFFSET_MAX = 600                // minutes of the timer offsets
};

// --- Texts ---

// One row per text: English, German, Finnish ("" shows the English one).
static const char *const title_text[] = {" Search Event ...", " Suche Event ...", " Ohjelman haku ..."};
static const char *const first_channel_text[] = {" Search from Channel  \"%s\"", " Starte Suche ab Kanal  \"%s\"",
                                                 " Haun aloituskanava  \"%s\""};
static const char *const first_lcn_text[] = {" Search from buffer place number (LCN:%d)",
                                             " Starte Suche ab Pufferposition (LCN:%d)", ""};
static const char *const last_channel_text[] = {" Search up to Channel  \"%s\"", " Suche bis Kanal  \"%s\"",
                                                " Haun lopetuskanava  \"%s\""};
static const char *const last_lcn_text[] = {" Search up to buffer place number (LCN:%d)",
                                            " Suche bis Pufferposition (LCN:%d)", ""};
static const char *const days_label_text[] = {" Search in weekdays only", " Suche in Wochentage",
                                              " Haetaan vain viikonp\xE4ivist\xE4"};
static const char *const from_text[] = {" Time Window: Start", " Zeitfenster: Start", " Haun aikaikkunan alku"};
static const char *const to_text[] = {" Time Window: End", " Zeitfenster: Ende", " Haun aikaikkunan loppu"};
static const char *const mode_label_text[] = {" autom. event programming / marker",
                                              " autom. Eventprogrammierung / Markierung",
                                              " Ohjelman autom. ajastus / muistutus"};
static const char *const lead_text[] = {" Timer Offset Start", " Timer Vorlaufzeit", " Lis\xE4" "aika alussa"};
static const char *const stop_text[] = {" Timer Offset End", " Timer Nachlaufzeit", " Lis\xE4" "aika lopussa"};
static const char *const save_text[] = {" Save the Search", " Speichere Suche", " Tallenna haku"};
static const char *const delete_text[] = {" Delete the Search", " L\xF6sche Suche", " Poista haku"};
static const char *const press_text[] = {" (press V-,V+)", "", " (paina V-,V+)"};
static const char *const full_text[] = {"The Searchlist is full!", "Die Suchliste ist bereits voll!",
                                        "Hakulista on t\xE4ynn\xE4!"};
// The weekday codes 7, 8, 9 (0..6 show the day's abbreviation).
static const char *const days_value_text[3][3] = {{"  Mo-Fr", "  Mo-Fr", "  Ma-Pe"},
                                                   {"  Sa-Su", "  Sa-So", "  La-Su"},
                                                   {" Mo-Su", " Mo-So", " Ma-Su"}};
static const char *const mode_value_text[SEARCH_MODES] = {"   Off", "    M", "    P", "   Rec", " 1x Rec"};

#define LANG_TEXT(row) LangText((row)[0], (row)[1], (row)[2])

// --- The word and its cuts ---

// Whether the file reader keeps a word of these `length` characters: 2 at least, not only spaces.
static int word_kept(const char *text, int length)
{
    if (length < SEARCH_WORD_MIN)
        return 0;
    for (int i = 0; i < length; i++) {
        if (text[i] != ' ')
            return 1;
    }
    return 0;
}

static int source_length(void)
{
    return (int)strlen(_strBuf2);
}

// Whether cutting `start` and `end` characters off the source text leaves a word the file keeps.
static int cuts_leave_word(int start, int end)
{
    int length = source_length() - start - end;
    return start >= 0 && end >= 0 && word_kept(_strBuf2 + start, length);
}

// Rebuilds the working entry's word from the source text and the cuts. A source text that makes
// no word becomes "???"; cuts that leave none are dropped.
// Changes _strBuf2, Cut_Start, Cut_End, Search[200].word.
static void make_word(void)
{
    _strBuf2[SEARCH_WORD_MAX] = 0;
    if (!word_kept(_strBuf2, source_length()))
        strcpy(_strBuf2, "???");
    if (!cuts_leave_word(Cut_Start, Cut_End)) {
        Cut_Start = 0;
        Cut_End = 0;
    }
    int length = source_length() - Cut_Start - Cut_End;
    char *made = Search[SEARCH_WORKING].word;
    memcpy(made, _strBuf2 + Cut_Start, (size_t)length);
    made[length] = 0;
}

// << and >> on the word's row: one character more or less cut off the end.
static void cut_end(int more)
{
    if (more && cuts_leave_word(Cut_Start, Cut_End + 1))
        Cut_End++;
    else if (!more && Cut_End > 0)
        Cut_End--;
}

// --- Editing ---

// The channels a search can reach: the buffered ones the receiver has (at least 1).
static int channel_limit(void)
{
    int tv = 0, radio = 0;
    TAP_Channel_GetTotalNum(&tv, &radio);
    int limit = settings.buffered_channels < tv ? settings.buffered_channels : tv;
    if (limit > SEARCH_PLACE_MAX)
        limit = SEARCH_PLACE_MAX;
    return limit < 1 ? 1 : limit;
}

// A place stepped within minimum..maximum, wrapping; a place beyond the maximum (an entry from
// a file for more channels than there are) is taken as the maximum first.
static uint8_t step_place(int place, int step, int minimum, int maximum)
{
    if (maximum < minimum)
        maximum = minimum;
    if (place > maximum)
        place = maximum;
    if (place < minimum)
        place = minimum;
    return (uint8_t)EditValue(0, 0, EDIT_WRAP, step, place, minimum, maximum);
}

// A time of day stepped round the clock: the step itself while the key is tapped, ten times it
// from the third held second and thirty times it from the fifth, then rounded down to the tens
// or half hours.
static int step_time(int minutes, int step)
{
    int grid = 1;
    if (Key_TimeCount >= HELD_FOR_HALF_HOURS)
        grid = 30;
    else if (Key_TimeCount >= HELD_FOR_TENS)
        grid = 10;
    int value = (minutes + step * grid) % DAY_MINUTES;
    if (value < 0)
        value += DAY_MINUTES;
    return value - value % grid;
}

// Changes the value of editor row `row` by step.
static void step_row(int row, int step)
{
    SearchEntry *e = &Search[SEARCH_WORKING];
    switch (row) {
    case SEARCH_EDITOR_ROW_WORD: {
        int before = Cut_Start;
        Cut_Start = EditValue(0, 0, EDIT_STOP, step, Cut_Start, 0, source_length());
        if (!cuts_leave_word(Cut_Start, Cut_End))
            Cut_Start = before;
        break;
    }
    case SEARCH_EDITOR_ROW_FIRST: {
        int last = e->last_place < channel_limit() ? e->last_place : channel_limit();
        e->first_place = step_place(e->first_place, step, 1, last);
        break;
    }
    case SEARCH_EDITOR_ROW_LAST:
        e->last_place = step_place(e->last_place, step, e->first_place > 0 ? e->first_place : 1, channel_limit());
        break;
    case SEARCH_EDITOR_ROW_DAYS:
        e->weekdays = (uint8_t)EditValue(0, 0, EDIT_WRAP, step, e->weekdays, 0, SEARCH_DAYS_ED);
        break;
    case SEARCH_EDITOR_ROW_FROM:
        e->window_start = step_time(e->window_start, step);
        break;
    case SEARCH_EDITOR_ROW_TO:
        e->window_end = step_time(e->window_end, step);
        break;
    case SEARCH_EDITOR_ROW_MODE:
        e->mode = (uint8_t)EditValue(0, 0, EDIT_WRAP, step, e->mode, SEARCH_MODE_OFF, SEARCH_MODES - 1);
        break;
    case SEARCH_EDITOR_ROW_LEAD:
        e->lead_time = EditValue(0, 0, EDIT_STOP, step, e->lead_time, 0, OFFSET_MAX);
        break;
    case SEARCH_EDITOR_ROW_STOP:
        e->stop_add = EditValue(0, 0, EDIT_STOP, step, e->stop_add, 0, OFFSET_MAX);
        break;
    case SEARCH_EDITOR_ROW_SAVE:
        // A new entry can only be saved.
        save_or_del = search_idx >= SEARCH_LIST_SIZE ? 1 : !save_or_del;
        break;
    default:
        break;
    }
}

// --- Drawing ---

// The label of row 2 or 3 (place: the row's buffer place, 1-based) into line (LINE_SIZE bytes):
// the channel's name, or with LCN support the channel's logical number.
static void format_place_label(char *line, int place, const char *const *channel_text, const char *const *lcn_text)
{
    if (settings.lcn_support == 1) {
        snprintf(line, LINE_SIZE, LANG_TEXT(lcn_text), LCN(SVC_TYPE_Tv, place - 1));
        return;
    }
    memset(&chInfo, 0, sizeof chInfo);
    if (place < 1 || !TAP_Channel_GetInfo(SVC_TYPE_Tv, place - 1, &chInfo))
        chInfo.name[0] = 0;
    chInfo.name[sizeof chInfo.name - 1] = 0;
    char name[CHANNEL_NAME_MAX + 1];
    snprintf(name, sizeof name, "%s", chInfo.name);
    snprintf(line, LINE_SIZE, LANG_TEXT(channel_text), name);
}

static void format_minutes(char *line, int minutes)
{
    snprintf(line, LINE_SIZE, "  %02d:%02d", minutes / 60, minutes % 60);
}

// The value and the label of editor row `row` into value and label (LINE_SIZE bytes each).
static void format_row(int row, char *value, char *label)
{
    const SearchEntry *e = &Search[SEARCH_WORKING];
    value[0] = 0;
    label[0] = 0;
    switch (row) {
    case SEARCH_EDITOR_ROW_WORD:
        snprintf(value, LINE_SIZE, "  (Blue)");
        snprintf(label, LINE_SIZE, " \"%s\"", e->word);
        break;
    case SEARCH_EDITOR_ROW_FIRST:
    case SEARCH_EDITOR_ROW_LAST: {
        int first = row == SEARCH_EDITOR_ROW_FIRST;
        int place = first ? e->first_place : e->last_place;
        snprintf(value, LINE_SIZE, "   %3d", place);
        format_place_label(label, place, first ? first_channel_text : last_channel_text,
                           first ? first_lcn_text : last_lcn_text);
        break;
    }
    case SEARCH_EDITOR_ROW_DAYS: {
        int d = e->weekdays;
        if (d < WEEKDAYS)
            snprintf(value, LINE_SIZE, "    %s", LangText(weekDay_name[0][d], weekDay_name[1][d], weekDay_name[2][d]));
        else
            snprintf(value, LINE_SIZE, "%s", LANG_TEXT(days_value_text[d <= SEARCH_DAYS_ED ? d - SEARCH_DAYS_WD : 2]));
        snprintf(label, LINE_SIZE, "%s", LANG_TEXT(days_label_text));
        break;
    }
    case SEARCH_EDITOR_ROW_FROM:
    case SEARCH_EDITOR_ROW_TO:
        format_minutes(value, row == SEARCH_EDITOR_ROW_FROM ? e->window_start : e->window_end);
        snprintf(label, LINE_SIZE, "%s", row == SEARCH_EDITOR_ROW_FROM ? LANG_TEXT(from_text) : LANG_TEXT(to_text));
        break;
    case SEARCH_EDITOR_ROW_MODE:
        snprintf(value, LINE_SIZE, "%s", mode_value_text[e->mode < SEARCH_MODES ? e->mode : 0]);
        snprintf(label, LINE_SIZE, "%s", LANG_TEXT(mode_label_text));
        break;
    case SEARCH_EDITOR_ROW_LEAD:
    case SEARCH_EDITOR_ROW_STOP:
        format_minutes(value, row == SEARCH_EDITOR_ROW_LEAD ? e->lead_time : e->stop_add);
        snprintf(label, LINE_SIZE, "%s", row == SEARCH_EDITOR_ROW_LEAD ? LANG_TEXT(lead_text) : LANG_TEXT(stop_text));
        break;
    default:
        snprintf(value, LINE_SIZE, "   (OK)");
        if (search_idx >= SEARCH_LIST_SIZE)
            snprintf(label, LINE_SIZE, "%s", LANG_TEXT(save_text));
        else
            snprintf(label, LINE_SIZE, "%s%s", save_or_del ? LANG_TEXT(save_text) : LANG_TEXT(delete_text),
                     LANG_TEXT(press_text));
        break;
    }
}

// Editor row `row` (0..9): its box in the row's colours, the column lines, number, value, label.
// The timer offsets are grey while the mode makes no timer.
static void draw_row(int row)
{
    int y = WINDOW_TEXT_Y + WINDOW_ROW_PITCH * row;
    int selected = row == cursor;
    dword fg = selected ? font_boxselected : font2_color;
    dword bg = selected ? box1_color : box2_color;
    char value[LINE_SIZE], label[LINE_SIZE];

    TAP_Osd_FillBox(rgn, LINE_FILL_X, y - 3, LINE_FILL_W, LINE_FILL_H, bg);
    TAP_Osd_FillBox(rgn, NUMBER_RIGHT, y - 4, COLUMN_LINE_W, WINDOW_ROW_PITCH, fineline_color);
    TAP_Osd_FillBox(rgn, VALUE_RIGHT, y - 4, COLUMN_LINE_W, WINDOW_ROW_PITCH, fineline_color);
    snprintf(value, sizeof value, " %2d.", row + 1);
    PutFittingText(rgn, NUMBER_X, y, NUMBER_RIGHT, value, fg, bg, ALIGN_LEFT);
    format_row(row, value, label);
    int mode = Search[SEARCH_WORKING].mode;
    int no_timer = mode == SEARCH_MODE_OFF || mode == SEARCH_MODE_M;
    int offset_row = row == SEARCH_EDITOR_ROW_LEAD || row == SEARCH_EDITOR_ROW_STOP;
    PutFittingText(rgn, VALUE_X, y, VALUE_RIGHT, value, offset_row && no_timer ? font_gray : fg, bg, ALIGN_LEFT);
    PutFittingText(rgn, LABEL_X, y, LABEL_RIGHT, label, fg, bg, ALIGN_LEFT);
}

// A piece of the status line from *x on, as much of it as fits before the line's end; moves *x.
static void put_status_piece(int *x, const char *text, int length, dword fg, dword bg)
{
    char piece[SEARCH_WORD_SIZE];
    int n = TextFitLength(text, length < SEARCH_WORD_MAX ? length : SEARCH_WORD_MAX, STATUS_RIGHT - *x,
                          FNT_Size_1926);
    if (n <= 0)
        return;
    memcpy(piece, text, (size_t)n);
    piece[n] = 0;
    TAP_Osd_PutString(rgn, *x, STATUS_TEXT_Y, STATUS_RIGHT, piece, fg, bg, FNT_Type_Default, FNT_Size_1926, 0);
    *x += TAP_Osd_GetW(piece, FNT_Type_Default, FNT_Size_1926);
}

// The status line: the source text, its cut parts dark on the rows' colour, the word between them.
static void draw_status(void)
{
    TAP_Osd_FillBox(rgn, STATUS_X, STATUS_Y, STATUS_W, STATUS_H, statusbox_color);
    int x = STATUS_TEXT_X;
    int length = source_length();
    put_status_piece(&x, _strBuf2, Cut_Start, font_extradark, box2_color);
    put_status_piece(&x, _strBuf2 + Cut_Start, length - Cut_Start - Cut_End, font2_color, statusbox_color);
    put_status_piece(&x, _strBuf2 + length - Cut_End, Cut_End, font_extradark, box2_color);
}

void Search_Menu(int entry, int step)
{
    (void)entry;   // the editor always edits the working entry
    if (cursor < 0 || cursor >= SEARCH_EDITOR_ROWS)
        cursor = 0;
    ListOffset = 0;
    make_word();
    if (step != 0) {
        step_row(cursor, step);
        make_word();
    }
    PutFittingText(rgn, TITLE_X, WINDOW_TITLE_Y, TITLE_RIGHT, LANG_TEXT(title_text), font_red, titlebox_color,
                   ALIGN_LEFT);
    for (int row = 0; row < SEARCH_EDITOR_ROWS; row++)
        draw_row(row);
    draw_status();
    TAP_Osd_Sync();
}

// --- Opening, searching, saving ---

void Search_OpenEditor(int entry, int row, int save_or_delete)
{
    if (entry >= 0 && entry < max_Search && entry < SEARCH_LIST_SIZE) {
        CopySearch(SEARCH_WORKING, entry);
        snprintf(_strBuf2, SEARCH_WORD_SIZE, "%s", Search[SEARCH_WORKING].word);
        Cut_Start = 0;
        Cut_End = 0;
        search_idx = (unsigned char)entry;
        save_or_del = (unsigned char)(save_or_delete ? 1 : 0);
    } else {
        search_idx = SEARCH_WORKING;
        save_or_del = 1;
    }
    ListOffset_store2 = ListOffset;
    cursor_store2 = cursor;
    search_mode = SEARCH_SHOWS_EDITOR;
    cursor = row >= 0 && row < SEARCH_EDITOR_ROWS ? row : 0;
    ListOffset = 0;
    DrawEPG(1);
}

void Search_ShowResults(int mode)
{
    search_mode = (byte)mode;
    cursor = 0;
    ListOffset = 0;
    DrawEPG(1);
    if (max_Event[SLOT_RESULT] >= 2)
        HelpSort();
}

// OK on rows 1 to 6: a search with the working entry; its results follow.
static void search_now(void)
{
    const SearchEntry *e = &Search[SEARCH_WORKING];
    SearchTxt(e->word, e->first_place - 1, e->last_place - 1, e->window_start, e->window_end, e->weekdays);
    Search_ShowResults(SEARCH_SHOWS_RESULTS);
}

// Back to the list, where it was when the editor opened.
static void back_to_list(void)
{
    Cut_Start = 0;
    Cut_End = 0;
    search_mode = SEARCH_SHOWS_LIST;
    ListOffset = ListOffset_store2;
    cursor = cursor_store2;
    DrawEPG(0);
}

// OK on the last row: the working entry saved into the list (a new one at its end, or over the
// entry it came from), or that entry deleted; the file is written and the list shows again. A
// full list refuses a new entry with a message that the next key removes; the editor keeps it.
static void save_or_delete_entry(void)
{
    int index = search_idx;
    // The list may have been read anew from its file since (remote mode): an entry that is no
    // longer there is saved as a new one, never into a slot beyond the list.
    if (index >= max_Search)
        index = SEARCH_WORKING;
    if (index < SEARCH_LIST_SIZE && save_or_del == 0) {
        DeleteSearch(index);
    } else if (index < SEARCH_LIST_SIZE) {
        CopySearch(index, SEARCH_WORKING);
    } else if (max_Search >= SEARCH_LIST_SIZE) {
        DrawMsgBox(LANG_TEXT(full_text));
        TAP_Osd_Sync();
        help = 2;
        return;
    } else {
        CopySearch(max_Search, SEARCH_WORKING);
        max_Search++;
    }
    SaveSearch();
    back_to_list();
}

// --- Keys ---

dword Keys_SearchEditor(dword key)
{
    switch (key) {
    case RKEY_Up:
        cursor = cursor <= 0 ? SEARCH_EDITOR_ROWS - 1 : cursor - 1;
        Search_Menu(SEARCH_WORKING, 0);
        return 0;
    case RKEY_Down:
        cursor = cursor >= SEARCH_EDITOR_ROWS - 1 ? 0 : cursor + 1;
        Search_Menu(SEARCH_WORKING, 0);
        return 0;
    case RKEY_Left:
    case RKEY_Right:
        Search_Menu(SEARCH_WORKING, key == RKEY_Left ? -1 : 1);
        return 0;
    case RKEY_Rewind:
    case RKEY_Forward:
        if (cursor == SEARCH_EDITOR_ROW_WORD) {
            cut_end(key == RKEY_Rewind);
            Search_Menu(SEARCH_WORKING, 0);
        } else if (cursor == SEARCH_EDITOR_ROW_FROM || cursor == SEARCH_EDITOR_ROW_TO) {
            Search_Menu(SEARCH_WORKING, key == RKEY_Rewind ? -HOUR_STEP : HOUR_STEP);
        }
        return 0;
    case RKEY_Blue:
        if (cursor == SEARCH_EDITOR_ROW_WORD) {
            keyboard_mode = KEYB_MODE_CAPITALS;
            keyboard_idx = 0;
            Keyboard(1, 0, Search[SEARCH_WORKING].word, SEARCH_KEYBOARD_LIMIT);
            TAP_Osd_Sync();
        }
        return 0;
    case RKEY_Ok:
        if (cursor <= SEARCH_EDITOR_ROW_TO)
            search_now();
        else if (cursor == SEARCH_EDITOR_ROW_SAVE)
            save_or_delete_entry();
        return 0;
    default:
        return 0;
    }
}
