// The window frame, the Normal view, the clock duty and the progress bar (see window.h).
// Leans on epgdb/ for the events, views/info for the info bar, status bar and chosen time, and
// calls the drawing entries of the Now view, help, menu, timer and search views.
//
// Sections:
//   --- Region ---
//   --- Helpers ---
//   --- Frame ---
//   --- Event list ---
//   --- Clock duty ---
//   --- Progress bar ---
#include "views/window.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "epgdb/lookup.h"
#include "frame/idle.h"
#include "frame/state.h"
#include "search/editor.h"
#include "search/entries.h"
#include "search/list.h"
#include "search/record.h"
#include "search/results.h"
#include "search/values.h"
#include "settings/colors.h"
#include "settings/menu.h"
#include "settings/settings.h"
#include "text/coded.h"
#include "timers/editor.h"
#include "timers/list.h"
#include "timers/names.h"
#include "timers/set.h"
#include "timers/table.h"
#include "timers/watch.h"
#include "views/help.h"
#include "views/info.h"
#include "views/nowview.h"

byte ev_month;
byte ev_day;
byte ev_weekDay;

enum {
    LINE_TEXT_SIZE = 160,         // bytes of a formatted line (times, titles of the title box)
    TITLE_CLEAR_X = 204,          // the channel title's area in the title box
    TITLE_CLEAR_Y = 71,
    TITLE_CLEAR_W = 360,
    TITLE_CLEAR_H = 36,
    TITLE_RIGHT = 564,            // right limit of the channel title without a bar
    TITLE_RIGHT_BAR = 453,        // ... with the time bar in the title box
    DATE_CLEAR_X = 62,            // the date's area at the left of the title box ...
    DATE_RIGHT = 199,             // ... and its right limit
    CLOCK_X = 567,
    CLOCK_RIGHT = 655,
    ROW_RIGHT = 655,              // right limit of a row's title (less the result shift)
    RESULT_POS_X = 489,           // "position/count" of a result list
    TIMES_X = 61,                 // a row's times ...
    TITLE_X = 201,                // ... and its title (both shifted in result lists)
    SEPARATOR_X = 199,            // the column line between times and titles
    RESULT_DAY_RIGHT = 99,        // result lists: the weekday in x 61..99, a line at 99,
    RESULT_NUMBER_LINE = 618,     // a line at 618 and the channel number in x 620..657
    RESULT_NUMBER_X = 620,
    RESULT_NUMBER_RIGHT = 657,
    NOW_VIEW_LINE_1 = 103,        // column lines of the Now view, lists and editors
    NOW_VIEW_LINE_2 = 237,
    COLUMN_LINE_H = 396,
    STATUS_BOX_X = 60,            // status boxes of the lists
    STATUS_BOX_W = 598,
    TIMER_STATUS_Y = 434,
    TIMER_STATUS_H = 68,
    SEARCH_STATUS_Y = 470,
    SEARCH_STATUS_H = 33,
    ROW_FILL_X = 60,              // a row's box inside the frame
    ROW_FILL_W = 598,
    ROW_FILL_H = 33,
    DUTY_SECONDS = 10,            // the clock duty's slower work
    LIST_REFRESH_SECONDS = 20,    // the Normal view is redrawn this often
    NOW_FIRST_CHANNEL_MAX = 200,
    NOW_PAGE_ROWS = 10,           // the page of ten for settings.now_first_channel -1
    NOW_CENTRE_ROW = 5,           // -2: the channel's row (4 with the status bar)
    NOW_LAST_PAGE = 190           // -2: the page the last channels share
};

static const dword FRAME_COLOR_BAR = 0xff788cf0;   // the progress bar's frame
static const dword BAR_PLAIN_INSIDE = 0xffa0b4c8;  // types 3, 7, 11, 15
static const dword BAR_PLAIN_FILL = 0xff0000c8;
static const dword BAR_AMBER_FILL = 0xfffac800;    // types 4, 8, 12, 16

enum { UI_LANGUAGES = 3 };   // English, German, Finnish

// Texts of the result list, one row per text: English, German, Finnish ("" falls back).
static const char *const no_results_text[UI_LANGUAGES] = {"No Search Results", "Keine Suchergebnisse", ""};

// --- Region ---

void cls(void)
{
    TAP_Osd_Delete(rgn);
    int handle = TAP_Osd_Create(0, 0, OSD_WIDTH, OSD_HEIGHT, 0, 0);
    if (handle >= 0)
        rgn = (word)handle;
    TAP_Osd_FillBox(rgn, 0, 0, OSD_WIDTH, OSD_HEIGHT, COLOR_None);
    TAP_Osd_Sync();
}

void cls_wss(void)
{
    cls();
    if (settings.wssguard_support == 1)
        TAP_GenerateEvent(EVT_KEY, WSS_WINDOW_CLOSED, 0);
}

// --- Helpers ---

// Index into weekDay_name for the user-interface language.
static int weekday_language(void)
{
    if (language == LAN_German)
        return 1;
    if (language == LAN_Finnish)
        return 2;
    return 0;
}

const char *Date_Parts(word mjd)
{
    word year = 0;
    TAP_ExtractMjd(mjd, &year, &ev_month, &ev_day, &ev_weekDay);
    int wd = ev_weekDay < WEEKDAYS ? ev_weekDay : WeekDay(mjd);
    return weekDay_name[weekday_language()][wd];
}

// A text in the window's usual font (size 2).
static void put_text(int x, int y, int maxX, const char *text, dword fg, dword bg)
{
    TAP_Osd_PutString(rgn, x, y, maxX, text, fg, bg, FNT_Type_Default, FNT_Size_1926, 0);
}

// A column line of one row (2 x 36) at x.
static void row_separator(int x, int row)
{
    TAP_Osd_FillBox(rgn, x, WINDOW_ROW_TOP + 2 + WINDOW_ROW_PITCH * row, 2, WINDOW_ROW_PITCH, fineline_color);
}

// A column line through all rows at x.
static void column_line(int x, int height)
{
    TAP_Osd_FillBox(rgn, x, WINDOW_ROW_TOP, 2, height, fineline_color);
}

// The record of a slot if it is one of its valid records, else null.
static EpgEvent *valid_record(int slot, int index)
{
    if (slot < 0 || slot >= BUFFER_SLOTS || index < 0 || index >= EVENTS_PER_SLOT || index >= max_Event[slot])
        return 0;
    return EpgRecord(slot, index);
}

// --- Frame ---

// Title box, eleven rows with their grid lines, the outer frame and the shadows.
static void draw_grid(void)
{
    TAP_Osd_FillBox(rgn, WINDOW_LEFT, 70, WINDOW_WIDTH, 43, titlebox_color);
    for (int k = 0; k < WINDOW_ROWS; k++) {
        int y = WINDOW_ROW_TOP + WINDOW_ROW_PITCH * k;
        TAP_Osd_FillBox(rgn, WINDOW_LEFT, y, WINDOW_WIDTH, 3, fineline_color);
        TAP_Osd_FillBox(rgn, WINDOW_LEFT, y + 3, WINDOW_WIDTH, WINDOW_ROW_PITCH, box2_color);
    }
    TAP_Osd_DrawRectangle(rgn, 58, 69, 602, 436, 2, fineline_color);
    TAP_Osd_FillBox(rgn, 660, 80, 10, 435, box_shadow);
    TAP_Osd_FillBox(rgn, 69, 505, WINDOW_WIDTH, 10, box_shadow);
}

// The Now view's page and cursor when it opens, after settings.now_first_channel: a fixed first
// channel, the page of ten holding the view's channel (-1), the view's channel centred (-2), or
// the page as it stands (0). Changes _svcNum, cursor.
static void now_view_first_page(void)
{
    int first = settings.now_first_channel;
    int channel = _svcNum;
    if (first >= 1 && first <= NOW_FIRST_CHANNEL_MAX) {
        if (first > _maxSvcNum || autorefresh > 0 || scan_mode != 0 || countdown > 0)
            return;
        _svcNum = first - 1;
        if (curr_svcNum >= first - 1 && curr_svcNum < first - 1 + NOW_PAGE_ROWS)
            cursor = curr_svcNum - (first - 1);
    } else if (first == -1) {
        cursor = channel % NOW_PAGE_ROWS;
        _svcNum = channel - cursor;
    } else if (first == -2) {
        int row = (settings.name_info_statusbar == 1 || settings.name_info_statusbar == 3) ? NOW_CENTRE_ROW - 1
                                                                                            : NOW_CENTRE_ROW;
        if (channel < row) {
            _svcNum = 0;
            cursor = channel;
        } else if (channel >= NOW_LAST_PAGE + row) {
            _svcNum = NOW_LAST_PAGE;
            cursor = channel - NOW_LAST_PAGE;
        } else {
            _svcNum = channel - row;
            cursor = row;
        }
    }
}

// The settings menu, the search editor or a timer editor in the frame.
// Changes ListOffset (0 when the window opens).
static void draw_editor(int type)
{
    int timer_view = timer_mode == 1 || timer_mode == 3;
    column_line(NOW_VIEW_LINE_1, COLUMN_LINE_H);
    if (!timer_view)
        column_line(SEPARATOR_X, COLUMN_LINE_H);
    // A redraw keeps the page the editor shows; only opening starts at its top.
    if (type == 1)
        ListOffset = 0;
    if (menu != 0)
        Settings_Menu(0);
    else if (timer_view)
        Timer_Menu(0);
    else
        Search_Menu(SEARCH_WORKING, 0);
}

void DrawEPG(int type)
{
    if (type == 11) {
        type = 1;
    } else if (type == 1 && settings.wssguard_support == 1) {
        TAP_GenerateEvent(EVT_KEY, WSS_WINDOW_OPENED, 0);
    }

    GetEvent(_svcType, _svcNum);
    TAP_Channel_GetCurrent(&_svcType, &curr_svcNum);
    ReadTimers();
    // The Now view shows buffered TV channels only.
    if (_svcNum >= BUFFER_SLOTS_TV || _svcType != SVC_TYPE_Tv)
        settings.view = 0;

    draw_grid();

    if (help == 1) {
        column_line(SEPARATOR_X, COLUMN_LINE_H);
        Help();
    } else if (menu != 0 || search_mode == 2 || timer_mode == 1 || timer_mode == 3) {
        draw_editor(type);
    } else if (timer_mode == 2) {
        TAP_Osd_FillBox(rgn, STATUS_BOX_X, TIMER_STATUS_Y, STATUS_BOX_W, TIMER_STATUS_H, statusbox_color);
        Timer_List();
    } else if (search_mode == 1) {
        column_line(NOW_VIEW_LINE_1, COLUMN_LINE_H);
        TAP_Osd_FillBox(rgn, STATUS_BOX_X, SEARCH_STATUS_Y, STATUS_BOX_W, SEARCH_STATUS_H, statusbox_color);
        SearchList();
    } else if (settings.view > 0 && search_mode == 0) {
        if (type == 1) {
            now_view_first_page();
        } else if (type == 0) {
            cursor = cursor_store;
            _svcNum = svcNum_store;
            ListOffset = ListOffset_store;
        }
        column_line(NOW_VIEW_LINE_1, COLUMN_LINE_H + 1);
        column_line(NOW_VIEW_LINE_2, COLUMN_LINE_H + 1);
        Draw_Now(1);
    } else if (type == 1) {
        if (timeline_mode == 0)
            ListOffset = 0;
        DrawEventBuf(1);
    } else {
        if (type == 0) {
            cursor = cursor_store;
            ListOffset = ListOffset_store;
        }
        DrawEventBuf(0);
    }
    TAP_Osd_Sync();
}

// --- Event list ---

void Channel_Info(int svcType, int channel)
{
    memset(&chInfo, 0, sizeof chInfo);
    if (!TAP_Channel_GetInfo(svcType, channel, &chInfo))
        chInfo.name[0] = 0;
    chInfo.name[sizeof chInfo.name - 1] = 0;
}

void DrawChannelTitle(int svcType, int channel, int x, int maxX, dword fg)
{
    Channel_Info(svcType, channel);
    char line[LINE_TEXT_SIZE];
    snprintf(line, sizeof line, "%d. %s", LCN(svcType, channel), chInfo.name);
    put_text(x, WINDOW_TITLE_Y, maxX, line, fg, titlebox_color);
}

const char *Row_Title(const EpgEvent *ev)
{
    snprintf(_strBuf, STRBUF_SIZE, " %s", DCT(ev->text));
    if (settings.name_info_statusbar > 1)
        RemInfo(_strBuf + 1);
    else
        RemLongInfo(_strBuf + 1);
    return _strBuf;
}

// The channel name and number in the title box (not in result lists or under the info window).
static void draw_channel_title(void)
{
    DrawChannelTitle(_svcType, _svcNum, TITLE_CLEAR_X, settings.timebar_title < 1 ? TITLE_RIGHT : TITLE_RIGHT_BAR,
                     font_title);
}

// The title of a result list: "No Search Results", or the selected result's channel and its
// position in the list.
static void draw_result_title(void)
{
    char line[LINE_TEXT_SIZE];
    TAP_Osd_FillBox(rgn, TITLE_CLEAR_X, TITLE_CLEAR_Y, TITLE_CLEAR_W, TITLE_CLEAR_H, titlebox_color);
    int count = max_Event[SLOT_RESULT];
    if (count <= 0) {
        put_text(TITLE_CLEAR_X, WINDOW_TITLE_Y, TITLE_RIGHT,
                 LangText(no_results_text[0], no_results_text[1], no_results_text[2]), font_red, titlebox_color);
        return;
    }
    int l = ListOffset + cursor;
    if (l < 0 || l >= count)
        l = count - 1;
    if (l >= SEARCH_RESULTS_MAX)
        l = SEARCH_RESULTS_MAX - 1;
    // Results are TV events, whatever the receiver shows.
    DrawChannelTitle(SVC_TYPE_Tv, searchresult_ext[l].channel, TITLE_CLEAR_X, RESULT_POS_X - 4, font_red);
    snprintf(line, sizeof line, "%d/%d", l + 1, count);
    put_text(RESULT_POS_X, WINDOW_TITLE_Y, TITLE_RIGHT, line, font_red, titlebox_color);
}

void DrawChosenTime(void)
{
    char line[LINE_TEXT_SIZE];
    const char *wd = Date_Parts(temp_mjd);
    snprintf(line, sizeof line, "%s %02d.  %2d:%02d", wd, ev_day, temp_h, temp_min);
    put_text(66, WINDOW_TITLE_Y, DATE_RIGHT, line, font_red, titlebox_color);
}

// The left of the title box: the chosen time in timeline mode, else the date of the selected
// event, else (an empty channel) the mark " EPG".
static void draw_date(int slot, int search)
{
    char line[LINE_TEXT_SIZE];
    TAP_Osd_FillBox(rgn, DATE_CLEAR_X, TITLE_CLEAR_Y, DATE_RIGHT - DATE_CLEAR_X, TITLE_CLEAR_H, titlebox_color);
    if (timeline_mode != 0 && !search) {
        DrawChosenTime();
        return;
    }
    if (max_Event[slot] <= 0 && !search) {
        put_text(67, WINDOW_TITLE_Y, DATE_RIGHT, " EPG", font_red, titlebox_color);
        return;
    }
    EpgEvent *ev = valid_record(slot, ListOffset + cursor);
    if (ev == 0)
        return;
    const char *wd = Date_Parts(ev->start_mjd);
    snprintf(line, sizeof line, " %s  %2d.%02d.", wd, ev_day, ev_month);
    put_text(64, WINDOW_TITLE_Y, DATE_RIGHT, line, font_title, titlebox_color);
}

// The texts of a row that holds record l = ListOffset + row: times, title, timer mark, and in a
// result list the weekday and the channel number. Outside result lists a record that does not
// meet the one above within a minute marks the slot (hole 1).
static void draw_record(int slot, int i, EpgEvent *ev, dword fg, dword bg, int search)
{
    int e = search ? RESULT_SHIFT : 0;
    int y = WINDOW_TEXT_Y + WINDOW_ROW_PITCH * i;
    int l = ListOffset + i;
    char line[LINE_TEXT_SIZE];
    snprintf(line, sizeof line, " %02d:%02d - %02d:%02d", ev->start_hour, ev->start_min, ev->end_hour, ev->end_min);
    put_text(e + TIMES_X, y, e + SEPARATOR_X, line, fg, bg);

    put_text(e + TITLE_X, y, ROW_RIGHT - e, Row_Title(ev), fg, bg);

    int svcType = search ? SVC_TYPE_Tv : _svcType;   // results are TV events
    TimerIcon(svcType, slot, l, y, e, i);

    if (search) {
        snprintf(line, sizeof line, " %s", Date_Parts(ev->start_mjd));
        TAP_Osd_PutS(rgn, TIMES_X, y, RESULT_DAY_RIGHT, line, fg, bg, FNT_Type_Default, FNT_Size_1926, 0, ALIGN_LEFT);
        snprintf(line, sizeof line, "%d", LCN(svcType, searchresult_ext[l].channel));
        TAP_Osd_PutS(rgn, RESULT_NUMBER_X, y, RESULT_NUMBER_RIGHT, line, fg, bg, FNT_Type_Default, FNT_Size_1926, 0,
                     ALIGN_RIGHT);
    } else if (i > 0) {
        // Neighbours that do not meet within a minute mark the slot as not complete.
        EpgEvent *above = valid_record(slot, l - 1);
        if (above != 0) {
            int gap = EpgStartInMin(ev) - EpgEndInMin(above);
            if (gap > 1 || gap < -1)
                hole[slot] = 1;
        }
    }
}

// Row i of the list: times, title and timer mark of record ListOffset + i, or an empty row.
// Returns 1 when the info bar or the status bar took the rest of the page.
static int draw_row(int slot, int i, int search)
{
    int e = search ? RESULT_SHIFT : 0;
    int y = WINDOW_TEXT_Y + WINDOW_ROW_PITCH * i;
    int l = ListOffset + i;
    int selected = ListOffset + cursor;
    int has_events = max_Event[slot] > 0;

    if (longinfo_mode == 1 || settings.info_open_method >= 3) {
        if (ExtendedInfoBar(slot, selected, i))
            return 1;
    }
    if (i == WINDOW_ROWS - 1 && (settings.name_info_statusbar == 1 || settings.name_info_statusbar == 3)) {
        StatusBar(slot, selected);
        return 1;
    }

    EpgEvent *ev = valid_record(slot, l);
    dword fg = font2_color, bg = box2_color;
    if (ev != 0 && i == cursor && has_events) {
        fg = font1_color;
        bg = box1_color;
    }
    if (ev != 0 && !search && l == currEvent[slot])
        fg = i == cursor ? font_boxselected : font_selected_color;

    // The row's box in its colour, so nothing of an earlier page shows through.
    TAP_Osd_FillBox(rgn, ROW_FILL_X, y - 3, ROW_FILL_W, ROW_FILL_H, bg);
    if (ev != 0)
        draw_record(slot, i, ev, fg, bg, search);
    row_separator(e + SEPARATOR_X, i);
    if (search) {
        row_separator(RESULT_DAY_RIGHT, i);
        row_separator(RESULT_NUMBER_LINE, i);
    }
    return 0;
}

void DrawEventBuf(int mode)
{
    int search = search_mode % 10 == 3;
    int slot = search ? SLOT_RESULT : BufferSlot(_svcType, _svcNum);
    InfoBarShown();

    if (mode == 1 && !search) {
        // An unbuffered channel is read now; so is a buffered one the background has not reached.
        if (slot == SLOT_SCRATCH || max_Event[slot] == 0)
            FillBuffer(_svcType, _svcNum);
        ReadRecInfo();
        TAP_Osd_FillBox(rgn, TITLE_CLEAR_X, TITLE_CLEAR_Y, TITLE_CLEAR_W, TITLE_CLEAR_H, titlebox_color);
    }
    if (!search && longinfo_mode != 2) {
        // A redraw clears what the state before drew there: the bar of a row no longer selected
        // or of a chosen time, a longer name drawn while no bar had to fit beside it.
        if (mode == 0)
            TAP_Osd_FillBox(rgn, TITLE_CLEAR_X, TITLE_CLEAR_Y, TITLE_CLEAR_W, TITLE_CLEAR_H, titlebox_color);
        draw_channel_title();
    }

    if (mode == 2) {
        // Timers start, end and move on while the list stands: the marks follow them.
        ReadTimers();
        ReadRecInfo();
    }
    if ((mode == 1 || mode == 2) && !search) {
        FindCurrentEvent(slot);
        if (mode == 1)
            ListOffset = currEvent[slot];
    }

    if (mode == 0 || mode == 1) {
        if (timeline_mode != 0 && !search)
            ListOffset = FindEvent(slot, temp_mjd, temp_h, temp_min);
        if (ListOffset + cursor >= max_Event[slot])
            ListOffset = max_Event[slot] - 1 - cursor;
        if (ListOffset < 0)
            ListOffset = 0;
        if (mode == 1 && timeline_mode == 0 && !search && max_Event[slot] < currEvent[slot])
            ListOffset++;
    }

    if (longinfo_mode == 2) {
        int l = ListOffset + cursor;
        int channel = _svcNum;
        if (search && l >= 0 && l < max_Event[SLOT_RESULT] && l < SEARCH_RESULTS_MAX)
            channel = searchresult_ext[l].channel;
        ExtendedInfoWindow(search ? SVC_TYPE_Tv : _svcType, channel, slot, l);
    } else {
        draw_date(slot, search);
        if (search)
            draw_result_title();
        for (int i = 0; i < WINDOW_ROWS; i++) {
            if (draw_row(slot, i, search))
                break;
        }
    }
    TempTime(0);
    TAP_Osd_Sync();
}

// --- Clock duty ---

// The slower duties, every ten seconds: timer names, recording by search words, the timer watch,
// the timer list's redraw and the periodic buffer save.
static void ten_second_duties(void)
{
    if (settings.timer_name_date_replace == 1 && timer_mode == 2 && keyboard_mode == 0)
        Timer_ChangeDate();
    if (time_min % 10 == 0)
        HideAutoRecord();
    CheckWakeUpTimer();
    if (timer_mode == 2 && timerlisthelp == 0 && keyboard_mode == 0) {
        ReadTimers();
        Timer_List();
    }
    SaveBufferAuto();
}

void DrawTime(void)
{
    if (_epgShow != 1 || MsgCountdown != 0 || time_sec == last_sec)
        return;

    char line[LINE_TEXT_SIZE];
    snprintf(line, sizeof line, "%02d:%02d:%02d", time_h, time_min, time_sec);
    TAP_Osd_PutStringAf(rgn, CLOCK_X, WINDOW_TITLE_Y, CLOCK_RIGHT, line, font_title, titlebox_color,
                        FNT_Type_Default, FNT_Size_1926, 0);

    if (time_sec % DUTY_SECONDS == 0)
        ten_second_duties();

    int plain = help == 0 && menu == 0 && search_mode == 0 && timer_mode == 0 && longinfo_mode != 2;
    if (settings.timebar_title >= 0 && plain) {
        if (settings.view > 0) {
            if (time_sec == 0 || (time_h == 0 && time_min == 0 && time_sec == 1))
                Draw_Now(2);
            int channel = _svcNum + cursor;
            int slot = BufferSlot(_svcType, channel);
            if (settings.view == 1 && timeline_mode == 0 && slot != SLOT_SCRATCH) {
                FindCurrentEvent(slot);
                TimeBar(channel, currEvent[slot], settings.timebar_title, 0, 0, titlebox_color, font_title);
            }
        } else {
            if (time_sec % LIST_REFRESH_SECONDS == 0)
                DrawEventBuf(2);
            if (timeline_mode == 0)
                TimeBar(_svcNum, ListOffset + cursor, settings.timebar_title, 0, 0, titlebox_color, font_title);
        }
    }
    last_sec = time_sec;
    TAP_Osd_Sync();
}

// --- Progress bar ---

// The gradient colour of bar column c (1..100): green through yellow to red.
static dword gradient(int c)
{
    int red = c <= 50 ? 50 + 4 * c : 250;
    int green = c <= 50 ? 200 : 404 - 4 * c;
    if (green < 0)
        green = 0;
    return 0xFF000000u | ((dword)red << 16) | ((dword)green << 8);
}

void TimeBar(int channel, int index, int type, int x, int y, dword bg, dword fg)
{
    if (type < 1)
        return;
    int slot = channel;
    if (slot < 0 || slot >= BUFFER_SLOTS_TV || slot >= settings.buffered_channels || _svcType != SVC_TYPE_Tv)
        slot = SLOT_SCRATCH;
    EpgEvent *ev = valid_record(slot, index);

    int elapsed = 0, duration = 1;
    int playback = 0;
    if (x != 0 && y != 0) {
        PlatformPlayInfo play;
        memset(&play, 0, sizeof play);
        TAP_Hdd_GetPlayInfo(&play);
        if (play.play_mode == 2 || play.play_mode == 5) {
            playback = 1;
            dword total = play.total_block, current = play.current_block;
            // Scaled down so that current * 100 stays inside 32 bits.
            while (total > 0x00FFFFFFu) {
                total >>= 8;
                current >>= 8;
            }
            if (total == 0)
                total = 1;
            if (current > total)
                current = total;
            duration = TIMEBAR_FULL;
            elapsed = (int)(current * TIMEBAR_FULL / total);
        }
    }
    if (ev == 0 && !playback)
        return;
    if (!playback) {
        int now = time_mjd * MINUTES_PER_DAY_EPG + time_h * 60 + time_min;
        elapsed = now - EpgStartInMin(ev);
        if (elapsed < 0)
            elapsed = 0;
        duration = EpgDurInMin(ev);
        if (duration < 1)   // an event without length counts as one minute
            duration = 1;
    }
    if (elapsed > duration)   // the bar is full and the text says 100 % either way
        elapsed = duration;

    int small = type >= 5;
    int height = small ? 11 : 15;
    int default_y = small ? 74 : 80;
    int frame = 0;
    int given_x = x != 0;
    if (x == 0 && y == 0) {
        x = 454;
        y = default_y;
        frame = 1;
    } else if (x == 0) {
        x = 121;
        y = default_y + y - 2;
    } else if (y == 0) {
        frame = 1;
    }
    if (!given_x)
        TAP_Osd_FillBox(rgn, x, y - 3, 2 * frame + 102, 26, bg);

    if (frame > 0)
        TAP_Osd_DrawRectangle(rgn, x, y, TIMEBAR_FULL + 2 * frame, height + 2 * frame, frame, FRAME_COLOR_BAR);
    int left = x + frame, top = y + frame;
    int group = (type - 1) % 4;   // 0 gradient columns, 1 gradient box, 2 plain, 3 amber
    TAP_Osd_FillBox(rgn, left, top, TIMEBAR_FULL, height, group == 2 ? BAR_PLAIN_INSIDE : timeline_background);

    int w = elapsed * TIMEBAR_FULL / duration + 1;
    if (w > TIMEBAR_FULL)
        w = TIMEBAR_FULL;
    if (group == 0) {
        for (int c = 1; c <= w; c++)
            TAP_Osd_FillBox(rgn, left + c - 1, top, 1, height, gradient(c));
    } else if (group == 1) {
        TAP_Osd_FillBox(rgn, left, top, w, height, gradient(w));
    } else {
        TAP_Osd_FillBox(rgn, left, top, w, height, group == 2 ? BAR_PLAIN_FILL : BAR_AMBER_FILL);
    }

    if (type < 5 || type > 16 || (given_x && type <= 12))
        return;
    char line[LINE_TEXT_SIZE];
    if (type <= 8) {
        int percent = elapsed >= duration ? 100 : (elapsed * 1000 / duration + 5) / 10;
        snprintf(line, sizeof line, "%3d%%   %4d/%d", percent, elapsed, duration);
    } else if (type <= 12) {
        Channel_Info(_svcType, channel);
        snprintf(line, sizeof line, "%s", chInfo.name);
    } else {
        if (ev == 0)
            return;
        snprintf(line, sizeof line, "%02d:%02d  -  %02d:%02d", ev->start_hour, ev->start_min, ev->end_hour,
                 ev->end_min);
    }
    int text_y = y + height + 2 * frame;
    TAP_Osd_FillBox(rgn, x, text_y, 2 * frame + 102, 18, bg);
    if (type <= 12)
        TAP_Osd_PutString(rgn, x, text_y + 1, x + 4 * frame + 112, line, fg, COLOR_None, FNT_Type_Default,
                          FNT_Size_1419, 0);
    else
        TAP_Osd_PutS(rgn, x - 10, text_y + 1, x + 4 * frame + 110, line, fg, COLOR_None, FNT_Type_Default,
                     FNT_Size_1419, 0, ALIGN_RIGHT);
}
