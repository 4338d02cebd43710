// The Now view (see nowview.h): which event each view shows, the title line, the rows with their
// three columns, and the greying of channels the tuners cannot receive while recordings run.
// Leans on views/window (grid, progress bar, chosen-time label), views/info (info bar, status
// bar, info window, chosen time), epgdb/ (records, lookup) and timers/ (recording state, marks).
//
// Sections:
//   --- Which event a row shows ---
//   --- Recordings ---
//   --- Title line ---
//   --- Rows ---
//   --- The view ---
#include "views/nowview.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/lookup.h"
#include "frame/keys.h"
#include "frame/state.h"
#include "search/values.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "timers/set.h"
#include "timers/table.h"
#include "views/info.h"
#include "views/window.h"

unsigned char nowmode_timeon;
unsigned char show_name;
int cursor_event;

enum {
    NOW_VIEW_PRIME_FIRST = 4,     // views 4..6 show prime time (settings.now_next_mode 0)
    NO_EVENT = EVENTS_PER_SLOT,   // the event index of a row without an event
    NUMBER_X = 61,                // the channel number column ...
    NUMBER_RIGHT = 103,           // ... up to the column line at 103
    NUMBER_LCN_RIGHT = 101,       // a logical number, right-aligned before the line
    NUMBER_PERIOD_BELOW = 99,     // numbers from 100 on (service 99 on) lose the period
    MIDDLE_X = 105,               // the middle cell between the column lines
    MIDDLE_W = 132,
    MIDDLE_TEXT_X = 109,          // times in the middle cell ...
    MIDDLE_RIGHT = 237,           // ... up to the column line at 237
    NAME_X = 121,                 // a channel name in the middle cell (small font)
    NAME_X_WIDE = 111,            // ... with settings.timebar_now -1 and no event
    NAME_DOWN = 4,                // the small name sits this much below the row's baseline
    TIMES_STACKED_X = 198,        // start above end at the right of the middle cell
    TIMES_STACKED_TOP = 109,      // y of the start in row 0; the end 16 pixels lower
    TIMES_STACKED_STEP = 16,
    STACKED_NAME_RIGHT = 195,     // the channel name beside the stacked times
    TITLE_X = 239,                // the event's title ...
    TITLE_RIGHT = 655,            // ... up to here
    CELL_TOP = 110,               // a row's cells: top in row 0 and height
    CELL_H = 33,
    NUMBER_CELL_X = 60,
    NUMBER_CELL_W = 43,
    TITLE_CELL_X = 239,
    TITLE_CELL_W = 419,
    BAR_ROW_OFFSET = 41,          // TimeBar's y offset for row 0 of the middle cell
    HEADER_X = 62,                // the view's label at the left of the title box
    HEADER_Y = 71,
    HEADER_W = 141,
    HEADER_H = 36,
    LABEL_X = 64,
    LABEL_RIGHT = 199,
    CHANNEL_BOX_X = 203,          // the channel of the selected row in the title box
    CHANNEL_BOX_Y = 73,
    CHANNEL_BOX_W = 360,
    CHANNEL_BOX_H = 33,
    CHANNEL_X = 204,
    CHANNEL_RIGHT = 559,
    CHANNEL_RIGHT_BAR = 453,      // ... leaving room for the title box's time bar
    LINE_SIZE = 160
};

enum { UI_LANGUAGES = 3 };

// The labels of the view in the title box, one row per text: English, German, Finnish.
static const char *const label_now[UI_LANGUAGES] = {" NOW", " JETZT", " NYT"};
static const char *const label_next[UI_LANGUAGES] = {" NEXT %d", " DANACH %d", " Seuraava %d"};

// --- Which event a row shows ---

// 1 when the view shows the events at a point in time (the chosen time or prime time), 0 when
// it counts from the running event.
static int shows_point_in_time(void)
{
    return timeline_mode != 0 || (settings.view >= NOW_VIEW_PRIME_FIRST && settings.now_next_mode != 1);
}

// Prime-time views set the chosen time to their day's prime time whenever they are drawn.
static void prime_time_of_view(void)
{
    if (timeline_mode != 0 || !shows_point_in_time())
        return;
    temp_mjd = (word)(time_mjd + settings.view - NOW_VIEW_PRIME_FIRST);
    temp_h = settings.prime_time / 60;
    temp_min = settings.prime_time % 60;
    TimeRevision(&temp_mjd, &temp_h, &temp_min);
}

// The buffer slot of a channel of the view, or -1 when the channel has none of its own: the Now
// view shows buffered TV channels only, never the scratch slot, which belongs to another channel.
static int channel_slot(int channel)
{
    if (channel < 0 || channel >= _maxSvcNum)
        return -1;
    int slot = BufferSlot(_svcType, channel);
    return slot == SLOT_SCRATCH ? -1 : slot;
}

// The index of the event a channel's row shows, NO_EVENT when the slot does not hold it.
static int row_event(int channel)
{
    int slot = channel_slot(channel);
    if (slot < 0)
        return NO_EVENT;
    int g;
    if (shows_point_in_time())
        g = FindEvent(slot, temp_mjd, temp_h, temp_min);
    else
        g = FindCurrentEvent(slot) + (settings.view > 1 ? settings.view - 1 : 0);
    if (g < 0 || g >= EVENTS_PER_SLOT || g >= max_Event[slot])
        return NO_EVENT;
    return g;
}

// --- Recordings ---

int CheckRecTransponder(int transponder)
{
    int fade = settings.fade_names_recording;
    if (fade == 0)
        return 1;
    int recording[REC_SLOTS];
    int busy = 0;
    for (int i = 0; i < REC_SLOTS; i++) {
        recording[i] = recSlot[i].info.rec_state == 1;
        if (!recording[i])
            continue;
        busy++;
        if (recSlot[i].transponder == transponder)
            return 1;
    }
    if (busy == 0)
        return 1;
    if (fade == 1)
        return 0;
    // Both tuners taken by other transponders: nothing else can be received.
    int both_tuners = recording[0] && recording[1] && recSlot[0].info.tuner != recSlot[1].info.tuner;
    return both_tuners ? 0 : 1;
}

// --- Title line ---

// The view's label at the left of the title box: " NOW", " NEXT n", or the time shown.
static void draw_label(void)
{
    TAP_Osd_FillBox(rgn, HEADER_X, HEADER_Y, HEADER_W, HEADER_H, titlebox_color);
    if (shows_point_in_time()) {
        DrawChosenTime();
        return;
    }
    char line[LINE_SIZE];
    if (settings.view <= 1)
        snprintf(line, sizeof line, "%s", LangText(label_now[0], label_now[1], label_now[2]));
    else
        snprintf(line, sizeof line, LangText(label_next[0], label_next[1], label_next[2]), settings.view - 1);
    TAP_Osd_PutString(rgn, LABEL_X, WINDOW_TITLE_Y, LABEL_RIGHT, line, font_title, titlebox_color, FNT_Type_Default,
                      FNT_Size_1926, 0);
}

// The selected row's channel in the title box, short of the time bar when the clock duty draws
// one there (view 1 at the present time).
static void draw_channel_title(void)
{
    TAP_Osd_FillBox(rgn, CHANNEL_BOX_X, CHANNEL_BOX_Y, CHANNEL_BOX_W, CHANNEL_BOX_H, titlebox_color);
    int bar = settings.timebar_title >= 1 && settings.view == 1 && timeline_mode == 0;
    DrawChannelTitle(_svcType, _svcNum + cursor, CHANNEL_X, bar ? CHANNEL_RIGHT_BAR : CHANNEL_RIGHT, font_title);
}

// --- Rows ---

// A text in the small font on a transparent background.
static void put_small(int x, int y, int maxX, const char *text, dword fg, int align)
{
    TAP_Osd_PutS(rgn, x, y, maxX, text, fg, COLOR_None, FNT_Type_Default, FNT_Size_1419, 0, (byte)align);
}

// The channel number: " %2d." below 100, " %2d" from 100 on, or the logical number right-aligned.
static void draw_number(int channel, int y, dword fg, dword bg)
{
    char line[LINE_SIZE];
    if (settings.lcn_support == 1) {
        snprintf(line, sizeof line, "%d", LCN(_svcType, channel));
        TAP_Osd_PutS(rgn, NUMBER_X, y, NUMBER_LCN_RIGHT, line, fg, bg, FNT_Type_Default, FNT_Size_1926, 0,
                     ALIGN_RIGHT);
        return;
    }
    snprintf(line, sizeof line, channel < NUMBER_PERIOD_BELOW ? " %2d." : " %2d", channel + 1);
    TAP_Osd_PutString(rgn, NUMBER_X, y, NUMBER_RIGHT, line, fg, bg, FNT_Type_Default, FNT_Size_1926, 0);
}

// The middle cell of a row with an event: a progress bar, stacked times with the channel name,
// the channel name alone, or start and end times, as settings.timebar_now and the toggles say.
static void draw_middle(int channel, int row, int g, const EpgEvent *ev, dword fg, dword name_fg, dword bg)
{
    int y = WINDOW_TEXT_Y + WINDOW_ROW_PITCH * row;
    int u = settings.timebar_now;
    int view1_present = settings.view == 1 && timeline_mode == 0;
    char line[LINE_SIZE];
    if (u >= 1 && view1_present && nowmode_timeon == 0) {
        TimeBar(channel, g, u, 0, WINDOW_ROW_PITCH * row + BAR_ROW_OFFSET, bg, name_fg);
        return;
    }
    if (u == -1 && !(view1_present && nowmode_timeon != 0)) {
        int top = TIMES_STACKED_TOP + WINDOW_ROW_PITCH * row;
        snprintf(line, sizeof line, "%02d:%02d", ev->start_hour, ev->start_min);
        put_small(TIMES_STACKED_X, top, MIDDLE_RIGHT, line, fg, ALIGN_LEFT);
        snprintf(line, sizeof line, "%02d:%02d", ev->end_hour, ev->end_min);
        put_small(TIMES_STACKED_X, top + TIMES_STACKED_STEP, MIDDLE_RIGHT, line, fg, ALIGN_LEFT);
        put_small(MIDDLE_TEXT_X, y + NAME_DOWN, STACKED_NAME_RIGHT, chInfo.name, name_fg, ALIGN_RIGHT);
        return;
    }
    if (u >= 1 && show_name != 0 && (settings.view >= 2 || timeline_mode != 0)) {
        put_small(NAME_X, y + NAME_DOWN, MIDDLE_RIGHT, chInfo.name, name_fg, ALIGN_LEFT);
        return;
    }
    snprintf(line, sizeof line, "%02d:%02d - %02d:%02d", ev->start_hour, ev->start_min, ev->end_hour, ev->end_min);
    TAP_Osd_PutString(rgn, MIDDLE_TEXT_X, y, MIDDLE_RIGHT, line, fg, bg, FNT_Type_Default, FNT_Size_1926, 0);
}

// Row `row` of the page: channel _svcNum + row with its event g. The whole row takes the row's
// colour (the selected row is highlighted from edge to edge).
static void draw_row(int row, int g)
{
    int channel = _svcNum + row;
    int y = WINDOW_TEXT_Y + WINDOW_ROW_PITCH * row;
    int exists = channel >= 0 && channel < BUFFER_SLOTS_TV && channel < _maxSvcNum;

    dword fg = font2_color, bg = box2_color;
    if (row == cursor) {
        fg = font1_color;
        bg = box1_color;
    }
    if (exists && channel == curr_svcNum)
        fg = row == cursor ? font_boxselected : font_selected_color;

    int cell_top = CELL_TOP + WINDOW_ROW_PITCH * row;
    TAP_Osd_FillBox(rgn, NUMBER_CELL_X, cell_top, NUMBER_CELL_W, CELL_H, bg);
    TAP_Osd_FillBox(rgn, MIDDLE_X, cell_top, MIDDLE_W, CELL_H, bg);
    TAP_Osd_FillBox(rgn, TITLE_CELL_X, cell_top, TITLE_CELL_W, CELL_H, bg);
    if (!exists)
        return;

    Channel_Info(_svcType, channel);
    dword name_fg = CheckRecTransponder(chInfo.transponder) ? fg : font_gray;
    draw_number(channel, y, name_fg, bg);

    if (g == NO_EVENT) {
        int x = settings.timebar_now == -1 ? NAME_X_WIDE : NAME_X;
        put_small(x, y + NAME_DOWN, MIDDLE_RIGHT, chInfo.name, name_fg, ALIGN_LEFT);
        return;
    }
    const EpgEvent *ev = EpgRecord(channel, g);
    if (ev == 0)
        return;
    draw_middle(channel, row, g, ev, fg, name_fg, bg);

    TAP_Osd_PutString(rgn, TITLE_X, y, TITLE_RIGHT, Row_Title(ev), fg, bg, FNT_Type_Default, FNT_Size_1926, 0);
    TimerIcon(_svcType, channel, g, y, 0, row);
}

// --- The view ---

// The page stays inside the channel list: the first channel moves back until the selected row's
// channel exists (30 channels, first 25, row 8: first 21); if none does, the cursor goes to row 0.
static void keep_page_inside(void)
{
    while ((_svcNum + cursor >= BUFFER_SLOTS_TV || _svcNum + cursor >= _maxSvcNum) && _svcNum > 0)
        _svcNum--;
    if (_svcNum + cursor >= BUFFER_SLOTS_TV || _svcNum + cursor >= _maxSvcNum)
        cursor = 0;
}

void Draw_Now(int mode)
{
    keep_page_inside();
    int bar = InfoBarShown();
    if (mode == 1 || mode == 2) {
        ReadRecInfo();
        // The selected row stays above the info bar: the page moves on instead.
        while (cursor > SELECTABLE_ROWS - 1 - blocked_lines && cursor > 0) {
            _svcNum++;
            cursor--;
        }
    }
    prime_time_of_view();

    int selected = _svcNum + cursor;
    int selected_slot = channel_slot(selected);
    cursor_event = row_event(selected);
    if (longinfo_mode == 2) {
        ExtendedInfoWindow(_svcType, selected, selected_slot < 0 ? SLOT_SCRATCH : selected_slot,
                           selected_slot < 0 ? NO_EVENT : cursor_event);
        TAP_Osd_Sync();
        return;
    }

    draw_label();
    if (mode == 0 || mode == 1)
        draw_channel_title();

    int info_slot = selected_slot < 0 ? SLOT_SCRATCH : selected_slot;
    int info_event = selected_slot < 0 ? NO_EVENT : cursor_event;
    int status_bar = settings.name_info_statusbar == 1 || settings.name_info_statusbar == 3;
    for (int i = 0; i < WINDOW_ROWS; i++) {
        if (bar && ExtendedInfoBar(info_slot, info_event, i))
            break;
        if (i == WINDOW_ROWS - 1 && status_bar) {
            StatusBar(info_slot, info_event);
            break;
        }
        draw_row(i, i == cursor ? cursor_event : row_event(_svcNum + i));
    }
    TempTime(0);
    TAP_Osd_Sync();
}
