// The timer list view and its keys (see list.h).
//
// Sections:
//   --- Texts ---
//   --- Drawing ---
//   --- Keys ---
#include "timers/list.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/fill.h"
#include "epgdb/lookup.h"
#include "frame/msgbox.h"
#include "frame/state.h"
#include "search/textfield.h"
#include "search/values.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "text/strutil.h"
#include "timers/editor.h"
#include "timers/names.h"
#include "timers/table.h"
#include "views/help.h"
#include "views/window.h"

enum {
    LINE_SIZE = 160,                // bytes of a formatted text
    TIMES_SIZE = 32,                // bytes of "HH:MM - HH:MM"
    // The title box: today's date, the title with the order, the position.
    DATE_X = 67, DATE_RIGHT = 164,
    TITLE_X = 164, TITLE_RIGHT = 469,
    POSITION_X = 469, POSITION_RIGHT = 564,
    // The rows: box from y 110 + 36 r, 33 high; columns x .. right limit.
    ROW_BOX_Y = 110, ROW_BOX_H = 33, ROW_FILL_X = 60, ROW_FILL_W = 598,
    NUMBER_X = 61, NUMBER_RIGHT = 103,
    NAME_X = 105, NAME_RIGHT = 369,
    CHANNEL_X = 371, CHANNEL_RIGHT = 409,
    WEEKDAY_X = 411, WEEKDAY_RIGHT = 449,
    DATE_COLUMN_X = 451, DATE_COLUMN_RIGHT = 515,
    START_X = 517, START_RIGHT = 579,
    MARK_X = 581, MARK_RIGHT = 619,
    MODE_X = 621, MODE_RIGHT = 657,
    COLUMN_LINE_W = 2, COLUMN_LINE_H = 325,
    // The status area.
    STATUS_X = 60, STATUS_Y = 434, STATUS_W = 598, STATUS_H = 68,
    STATUS_LEFT_X = 69, STATUS_MIDDLE_X = 411, STATUS_RIGHT = 655,
    STATUS_LINE1_Y = 439, STATUS_LINE2_Y = 471, STATUS_SMALL_Y = 473,
    MINUTES_PER_DAY = 1440,
    FOUND_MESSAGE_HELP = 2          // help: a one-key message
};

static const dword MARK_REC_COLOR = 0xFFD20000;   // "T1", "T2", "T4" of a recording timer
static const dword MARK_P_COLOR = 0xFF008000;     // "P" of a "-P-" timer

// The column lines between the row's fields.
static const short divider_x[] = {NUMBER_RIGHT, NAME_RIGHT, CHANNEL_RIGHT, WEEKDAY_RIGHT, DATE_COLUMN_RIGHT,
                                  START_RIGHT, MARK_RIGHT};

static const char *const mode_code[TIMER_MODE_WEEKDAYS + 1] = {"OT", "ED", "WE", "WL", "WD"};

// --- Texts ---

// One row per text: English, German, Finnish.
static const char *const title_by_number[] = {" Timer List - by Number", " Timerliste - nach Nummer",
                                              " Ajastuslista - numeron mukaan"};
static const char *const title_by_time[] = {" Timer List - by Time", " Timerliste - nach Zeit",
                                            " Ajastuslista - ajan mukaan"};
static const char *const no_event_text[] = {"No event found for this timer!", "Keine Sendung zu diesem Timer!",
                                            "Ajastukselle ei l\xF6ydy ohjelmaa!"};
static const char *const status_date_format[] = {"%04d-%02d-%02d %s", "%02d.%02d.%04d %s", "%02d.%02d.%04d %s"};

#define LANG_TEXT(row) LangText((row)[0], (row)[1], (row)[2])

// --- Drawing ---

static int shown_count(void)
{
    if (max_Timers < 0)
        return 0;
    return max_Timers < TIMERS_MIRRORED ? max_Timers : TIMERS_MIRRORED;
}

// The selection on an existing timer: below the page's last row it moves the page; beyond the
// last timer the page comes back first, then the cursor. Changes ListOffset, cursor.
static void keep_selection_in_range(void)
{
    if (cursor < 0)
        cursor = 0;
    if (ListOffset < 0)
        ListOffset = 0;
    while (cursor > TIMER_LIST_LINES - 1) {
        cursor--;
        ListOffset++;
    }
    int count = shown_count();
    while (ListOffset > 0 && ListOffset + cursor >= count)
        ListOffset--;
    while (cursor > 0 && ListOffset + cursor >= count)
        cursor--;
}

// The name without ".rec" into name (TIMER_NAME_SIZE bytes).
static void plain_name(const TimerRecord *t, char *name)
{
    strxcpy(name, t->name, TIMER_NAME_KEPT);
    if (TimerName_EndsInRec(name))
        name[strlen(name) - 4] = 0;
}

static void draw_title(void)
{
    char line[LINE_SIZE];
    const char *weekday = Date_Parts(time_mjd);
    snprintf(line, sizeof line, "%s %02d.%02d.", weekday, ev_day, ev_month);
    PutFittingText(rgn, DATE_X, WINDOW_TITLE_Y, DATE_RIGHT, line, font_title, titlebox_color, ALIGN_LEFT);
    const char *title = settings.timerlist_sort == TIMERLIST_SORT_TIME ? LANG_TEXT(title_by_time)
                                                                        : LANG_TEXT(title_by_number);
    PutFittingText(rgn, TITLE_X, WINDOW_TITLE_Y, TITLE_RIGHT, title, font_red, titlebox_color, ALIGN_LEFT);
    if (shown_count() > 0)
        snprintf(line, sizeof line, "%d/%d", ListOffset + cursor + 1, max_Timers);
    else
        snprintf(line, sizeof line, "0/0");
    PutFittingText(rgn, POSITION_X, WINDOW_TITLE_Y, POSITION_RIGHT, line, font_red, titlebox_color, ALIGN_CENTER);
}

// The fields of timer slot `slot` in page line `line`.
static void draw_timer(int slot, int line, int selected)
{
    const TimerRecord *t = &TimerList[slot].rec;
    int y = WINDOW_TEXT_Y + WINDOW_ROW_PITCH * line;
    dword bg = selected ? box1_color : box2_color;
    dword fg = selected ? font1_color : font2_color;
    if (t->svc_type == SVC_TYPE_Radio)
        fg = selected ? font_boxselected : font_selected_color;
    char text[LINE_SIZE];
    char name[TIMER_NAME_SIZE];

    snprintf(text, sizeof text, " %2d.", TimerList[slot].index + 1);
    PutFittingText(rgn, NUMBER_X, y, NUMBER_RIGHT, text, fg, bg, ALIGN_LEFT);
    plain_name(t, name);
    snprintf(text, sizeof text, " %s", name);
    PutFittingText(rgn, NAME_X, y, NAME_RIGHT, text, fg, bg, ALIGN_LEFT);
    snprintf(text, sizeof text, "%d", LCN(t->svc_type, t->svc_num));
    PutFittingText(rgn, CHANNEL_X, y, CHANNEL_RIGHT, text, fg, bg, ALIGN_CENTER);
    PutFittingText(rgn, WEEKDAY_X, y, WEEKDAY_RIGHT, Date_Parts((word)(t->start >> 16)), fg, bg, ALIGN_CENTER);
    snprintf(text, sizeof text, "%02d.%02d.", ev_day, ev_month);
    PutFittingText(rgn, DATE_COLUMN_X, y, DATE_COLUMN_RIGHT, text, fg, bg, ALIGN_CENTER);
    snprintf(text, sizeof text, "%02d:%02d", (int)((t->start >> 8) & 0xFF), (int)(t->start & 0xFF));
    PutFittingText(rgn, START_X, y, START_RIGHT, text, fg, bg, ALIGN_CENTER);
    if (t->is_rec == 1) {
        snprintf(text, sizeof text, "T%d", t->tuner + 1);
        PutFittingText(rgn, MARK_X, y, MARK_RIGHT, text, font2_color, MARK_REC_COLOR, ALIGN_CENTER);
    } else {
        PutFittingText(rgn, MARK_X, y, MARK_RIGHT, "P", font2_color, MARK_P_COLOR, ALIGN_CENTER);
    }
    PutFittingText(rgn, MODE_X, y, MODE_RIGHT, t->mode <= TIMER_MODE_WEEKDAYS ? mode_code[t->mode] : "", fg, bg,
                   ALIGN_CENTER);
}

// Page line `line` (0..8): its box, and the timer in it if there is one.
static void draw_line(int line)
{
    int slot = ListOffset + line;
    int selected = line == cursor && slot < shown_count();
    TAP_Osd_FillBox(rgn, ROW_FILL_X, ROW_BOX_Y + WINDOW_ROW_PITCH * line, ROW_FILL_W, ROW_BOX_H,
                    selected ? box1_color : box2_color);
    if (slot < shown_count())
        draw_timer(slot, line, selected);
}

// The name in the status area: in the normal font, or from 338 pixels on in the small one.
static void draw_status_name(const char *name)
{
    if (TAP_Osd_GetW(name, FNT_Type_Default, FNT_Size_1926) < TIMER_NAME_SMALL_PX) {
        TAP_Osd_PutString(rgn, STATUS_LEFT_X, STATUS_LINE2_Y, STATUS_MIDDLE_X, name, font2_color, statusbox_color,
                          FNT_Type_Default, FNT_Size_1926, 0);
        return;
    }
    char small[TIMER_NAME_SIZE];
    strxcpy(small, name, TIMER_NAME_KEPT);
    small[TextFitLength(small, (int)strlen(small), STATUS_MIDDLE_X - STATUS_LEFT_X, FNT_Size_1622)] = 0;
    TAP_Osd_PutString(rgn, STATUS_LEFT_X, STATUS_SMALL_Y, STATUS_MIDDLE_X, small, font2_color, statusbox_color,
                      FNT_Type_Default, FNT_Size_1622, 0);
}

// The status area: the selected timer's channel, date, name, times and duration.
static void draw_status(void)
{
    TAP_Osd_FillBox(rgn, STATUS_X, STATUS_Y, STATUS_W, STATUS_H, statusbox_color);
    int slot = ListOffset + cursor;
    if (slot < 0 || slot >= shown_count())
        return;
    const TimerRecord *t = &TimerList[slot].rec;
    char line[LINE_SIZE];

    Channel_Info(t->svc_type, t->svc_num);
    snprintf(line, sizeof line, "%d. %s", LCN(t->svc_type, t->svc_num), chInfo.name);
    PutFittingText(rgn, STATUS_LEFT_X, STATUS_LINE1_Y, STATUS_MIDDLE_X, line, font2_color, statusbox_color,
                   ALIGN_LEFT);

    word year = 0;
    byte month = 0, day = 0, weekday = 0;
    TAP_ExtractMjd((word)(t->start >> 16), &year, &month, &day, &weekday);
    const char *weekday_name = Date_Parts((word)(t->start >> 16));
    if (language == LAN_German || language == LAN_Finnish)
        snprintf(line, sizeof line, LANG_TEXT(status_date_format), day, month, year, weekday_name);
    else
        snprintf(line, sizeof line, status_date_format[0], year, month, day, weekday_name);
    PutFittingText(rgn, STATUS_MIDDLE_X, STATUS_LINE1_Y, STATUS_RIGHT, line, font2_color, statusbox_color,
                   ALIGN_LEFT);

    char name[TIMER_NAME_SIZE];
    plain_name(t, name);
    draw_status_name(name);

    int start = (int)((t->start >> 8) & 0xFF) * 60 + (int)(t->start & 0xFF);
    int end = (start + t->duration) % MINUTES_PER_DAY;
    char times[TIMES_SIZE];
    snprintf(times, sizeof times, "%02d:%02d - %02d:%02d", start / 60, start % 60, end / 60, end % 60);
    if (t->duration < 60)
        snprintf(line, sizeof line, "%s  (%d min)", times, t->duration);
    else
        snprintf(line, sizeof line, "%s (%d h %d min)", times, t->duration / 60, t->duration % 60);
    PutFittingText(rgn, STATUS_MIDDLE_X, STATUS_LINE2_Y, STATUS_RIGHT, line, font2_color, statusbox_color,
                   ALIGN_LEFT);
}

void Timer_List(void)
{
    SortTimer(settings.timerlist_sort);
    keep_selection_in_range();
    draw_title();
    for (int line = 0; line < TIMER_LIST_LINES; line++)
        draw_line(line);
    draw_status();
    for (size_t i = 0; i < sizeof divider_x / sizeof divider_x[0]; i++)
        TAP_Osd_FillBox(rgn, divider_x[i], WINDOW_ROW_TOP, COLUMN_LINE_W, COLUMN_LINE_H, fineline_color);
    TAP_Osd_Sync();
}

// --- Keys ---

// The slot of the selected timer in the order the list shows (the copy may have been read anew
// since it was drawn), or -1 when the list is empty.
static int selected_timer(void)
{
    ReadTimers();
    SortTimer(settings.timerlist_sort);
    int slot = ListOffset + cursor;
    return slot >= 0 && slot < shown_count() ? slot : -1;
}

// The list's position to come back to from the editor.
static void keep_list_position(void)
{
    ListOffset_store2 = ListOffset;
    cursor_store2 = cursor;
}

// OK and help-and-edit: the selected timer in the editor, on `row`.
static void edit_selected(int row)
{
    int slot = selected_timer();
    if (slot < 0)
        return;
    CopyTimer(TIMER_SLOT_NEW, slot);
    CopyTimer(TIMER_SLOT_REFERENCE, slot);
    keep_list_position();
    Timer_OpenEditor(1, 1, row);
}

// RED: a new recording timer on the channel shown, today at the next full hour, for two hours.
static void new_timer(void)
{
    TimerSlot *s = &TimerList[TIMER_SLOT_NEW];
    memset(s, 0, sizeof *s);
    s->index = -1;
    TimerRecord *t = &s->rec;
    t->svc_num = (word)curr_svcNum;
    t->svc_type = (byte)_svcType;
    t->start = PackedTime(time_mjd, time_h + 1, 0);
    t->duration = 120;
    t->is_rec = 1;
    t->tuner = (byte)settings.rec_tuner;
    t->mode = TIMER_MODE_ONCE;
    t->name_fixed = 1;
    keep_list_position();
    Timer_OpenEditor(0, 1, TIMER_ROW_NAME);
}

// The record of `slot` running at `minutes` (minutes since MJD 0), or -1.
static int event_at(int slot, dword minutes)
{
    int mjd = (int)(minutes / MINUTES_PER_DAY), minute = (int)(minutes % MINUTES_PER_DAY);
    int index = FindEvent(slot, mjd, minute / 60, minute % 60);
    const EpgEvent *e = EpgRecord(slot, index);
    if (e == NULL || index >= max_Event[slot])
        return -1;
    if ((dword)EpgStartInMin(e) > minutes || (dword)EpgEndInMin(e) <= minutes)
        return -1;
    return index;
}

// BLUE: the selected timer's event in the Normal view of its channel. The event looked for runs
// at the timer's start plus the lead time (while that stays inside the timer), so that a timer
// with lead time finds its programme rather than the end of the one before.
static void find_in_epg(void)
{
    int slot = selected_timer();
    if (slot < 0)
        return;
    const TimerRecord *t = &TimerList[slot].rec;
    int channel = t->svc_num;
    int buffer = BufferSlot(t->svc_type, channel);
    int lead = settings.rec_lead_time;
    if (lead < 0 || lead >= t->duration)
        lead = 0;
    dword at = StartTimeInMin(t->start) + (dword)lead;
    int found = -1;
    if (t->svc_type == _svcType) {
        if (buffer == SLOT_SCRATCH || max_Event[buffer] == 0)
            FillBuffer(t->svc_type, channel);
        found = event_at(buffer, at);
    }
    if (found < 0) {
        DrawMsgBox(LANG_TEXT(no_event_text));
        TAP_Osd_Sync();
        help = FOUND_MESSAGE_HELP;
        return;
    }
    timer_mode = 0;
    settings.view = 0;
    _svcNum = channel;
    timeline_mode = 1;
    temp_mjd = (word)(at / MINUTES_PER_DAY);
    temp_h = (int)(at % MINUTES_PER_DAY) / 60;
    temp_min = (int)(at % MINUTES_PER_DAY) % 60;
    cursor = cursor_store = 0;
    ListOffset = ListOffset_store = 0;
    svcNum_store = channel;
    DrawEPG(0);
}

static void sort_key(int kind)
{
    settings.timerlist_sort = kind;
    cursor = 0;
    ListOffset = 0;
    ReadTimers();
    Timer_List();
}

dword Keys_TimerList(dword key)
{
    switch (key) {
    case RKEY_Up:
        if (cursor > 0)
            cursor--;
        else if (ListOffset > 0)
            ListOffset--;
        Timer_List();
        return 0;
    case RKEY_Down:
        cursor++;
        Timer_List();
        return 0;
    case RKEY_Rewind:
    case RKEY_Forward:
        ListOffset += key == RKEY_Rewind ? -TIMER_LIST_LINES : TIMER_LIST_LINES;
        Timer_List();
        return 0;
    case RKEY_Green:
    case RKEY_Yellow:
        sort_key(key == RKEY_Green ? TIMERLIST_SORT_NUMBER : TIMERLIST_SORT_TIME);
        return 0;
    case RKEY_Ok:
        edit_selected(TIMER_ROW_NAME);
        return 0;
    case RKEY_Help:
        edit_selected(TIMER_ROW_DELETE);
        return 0;
    case RKEY_Red:
        new_timer();
        return 0;
    case RKEY_Blue:
        find_in_epg();
        return 0;
    case RKEY_Info:
        HelpTimerlist();
        return 0;
    default:
        return 0;
    }
}
