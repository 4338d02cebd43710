// Info displays and the chosen time (see info.h): the status bar, the info bar, the info window,
// the info key's methods and the chosen time. Leans on frame/state (view state, clock), epgdb/
// (records, lookup, text pieces), search/textfield (wrapped, paged text), views/window and
// views/nowview (the redraws), timers/table (TimeRevision, timer marks).
//
// Sections:
//   --- Text and pages ---
//   --- Status bar ---
//   --- Info bar ---
//   --- Info window ---
//   --- The info key ---
//   --- Chosen time ---
#include "views/info.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/lookup.h"
#include "frame/idle.h"
#include "frame/keys.h"
#include "frame/state.h"
#include "search/textfield.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "text/coded.h"
#include "timers/table.h"
#include "views/nowview.h"
#include "views/window.h"

enum {
    CHOSEN_TIME_STEP = 15,   // the chosen time stands on quarter hours
    NOW_VIEW_PRIME = 4,      // Now views 4..6 show prime time (settings.now_next_mode 0)
    INFO_LEFT = 60,          // every info field spans x 60..658
    INFO_RIGHT = 658,
    INFO_WIDTH = 598,
    FOOT_Y = 470,            // the foot line (status bar, last row of the page)
    FOOT_H = 33,
    STATUS_MAX_W = 585,      // a wider status text is drawn smaller
    STATUS_X = 69, STATUS_Y = 473,
    STATUS_SMALL_X = 66, STATUS_SMALL_Y = 476,
    STATUS_RIGHT = 655,
    SHORT_INFO_SIZE = 128,   // bytes of the short info the status bar shows
    BAR_BOTTOM_LINE_Y = 500, // the bar's closing line, 3 pixels high
    BAR_LINE_H = 3,
    MORE_X = 644, MORE_Y = 474, MORE_RIGHT = 657,   // "»": more pages follow
    WINDOW_DATE_X = 66, WINDOW_DATE_RIGHT = 279,
    WINDOW_CHANNEL_X = 279, WINDOW_CHANNEL_RIGHT = 559,
    WINDOW_TITLE_BOX_X = 203, WINDOW_TITLE_BOX_Y = 73, WINDOW_TITLE_BOX_W = 360, WINDOW_TITLE_BOX_H = 33,
    WINDOW_LABEL_X = 62, WINDOW_LABEL_Y = 71, WINDOW_LABEL_W = 141, WINDOW_LABEL_H = 36,
    WINDOW_TOP = 109,        // the window's field: a 5-pixel strip, then the text from 113
    WINDOW_TEXT_TOP = 113,
    WINDOW_FIELD_H = 394,
    WINDOW_STRIP_H = 5,
    WINDOW_COPY_MAX = 1535,  // characters of a plain text the window works on
    WINDOW_TEXT_MAX = 1919,  // characters of the laid-out text
    WINDOW_MARK_Y = 134,     // the timer mark on the first page (small font) ...
    WINDOW_MARK_Y_LARGE = 141,   // ... and with the large font
    LINE_SIZE = 160,
    SITE_BAR_LAST = 0,       // longinfo_site once the bar's last page shows
    SITE_WINDOW_LAST = -2    // ... once the window's last page shows
};

static const char INFO_SEP_TITLE = '~';   // separators where the info text breaks lines
static const char INFO_SEP_LINE = '|';

// The info bar by settings.info_bar_lines: selectable rows covered, text lines, line height.
typedef struct {
    int rows;
    int lines;
    int height;
} InfoBarLayout;

static const InfoBarLayout info_bar_layout[INFO_BAR_SETTINGS] = {
    {1, 3, 23}, {2, 4, 25}, {3, 5, 27}, {3, 6, 23}, {4, 7, 25},
};

// A page of info text: font size code, lines per page, line height.
typedef struct {
    int font_size;
    int lines;
    int height;
} InfoPageLayout;

// The info window by settings.info_font_large.
static const InfoPageLayout info_window_small = {FNT_Size_1622, 15, 26};
static const InfoPageLayout info_window_large = {FNT_Size_1926, 13, 30};

// Texts of the info window, one row per text: English, German, Finnish ("" falls back).
static const char *const no_epg_info_text[3] = {"no EPG info", "", ""};

unsigned char blocked_lines;
const char *dct = "";

static int info_page_shown = 1;   // the page of the info text last drawn, from 1

// --- Text and pages ---

// The decoded text of a record of a slot, or null when the slot does not hold the record.
static const char *event_text(int slot, int event)
{
    if (slot < 0 || slot >= BUFFER_SLOTS || event < 0 || event >= EVENTS_PER_SLOT || event >= max_Event[slot])
        return 0;
    const EpgEvent *ev = EpgRecord(slot, event);
    return ev ? DCT(ev->text) : 0;
}

// Draws the page longinfo_site asks for (the page last drawn when it is 0 or below, the last
// page when the text has fewer) of text in the field from y, and "»" when more pages follow.
// Returns 1 when more pages follow (longinfo_site is then the page drawn), else 0.
// Changes longinfo_site, info_page_shown.
static int draw_info_page(int y, const char *text, dword bg, const InfoPageLayout *layout)
{
    int page = longinfo_site > 0 ? longinfo_site : info_page_shown;
    if (page < 1)
        page = 1;
    int count = TextField(rgn, INFO_LEFT, y, INFO_RIGHT, text, font2_color, bg, layout->font_size, ALIGN_LEFT,
                          layout->lines, 0, layout->height, INFO_SEP_TITLE, INFO_SEP_LINE);
    int pages = count > 0 ? (count + layout->lines - 1) / layout->lines : 1;
    if (page > pages)
        page = pages;
    TextField(rgn, INFO_LEFT, y, INFO_RIGHT, text, font2_color, bg, layout->font_size, ALIGN_LEFT, layout->lines, page,
              layout->height, INFO_SEP_TITLE, INFO_SEP_LINE);
    info_page_shown = page;
    if (count <= layout->lines * page)
        return 0;
    TAP_Osd_PutString(rgn, MORE_X, MORE_Y, MORE_RIGHT, "\xBB", font_selected_color, bg, FNT_Type_Default,
                      FNT_Size_1926, 0);
    longinfo_site = page;
    return 1;
}

// --- Status bar ---

void StatusBar(int slot, int event)
{
    const char *text = event_text(slot, event);
    if (text != 0 && text[0] != 0) {
        dct = text;
        InfoOnly(_strBuf, text, SHORT_INFO_SIZE, 0);
    } else {
        dct = "";
        _strBuf[0] = 0;
    }
    TAP_Osd_FillBox(rgn, INFO_LEFT, FOOT_Y, INFO_WIDTH, FOOT_H, statusbox_color);
    if (TAP_Osd_GetW(_strBuf, FNT_Type_Default, FNT_Size_1926) > STATUS_MAX_W)
        TAP_Osd_PutString(rgn, STATUS_SMALL_X, STATUS_SMALL_Y, STATUS_RIGHT, _strBuf, font2_color, statusbox_color,
                          FNT_Type_Default, FNT_Size_1622, 0);
    else
        TAP_Osd_PutString(rgn, STATUS_X, STATUS_Y, STATUS_RIGHT, _strBuf, font2_color, statusbox_color,
                          FNT_Type_Default, FNT_Size_1926, 0);
}

// --- Info bar ---

static const InfoBarLayout *bar_layout(void)
{
    int lines = settings.info_bar_lines;
    if (lines < 0 || lines >= INFO_BAR_SETTINGS)
        lines = 1;
    return &info_bar_layout[lines];
}

int InfoBarShown(void)
{
    if (longinfo_mode == 1 || settings.info_open_method >= 3) {
        blocked_lines = (unsigned char)bar_layout()->rows;
        return 1;
    }
    blocked_lines = 0;
    return 0;
}

int ExtendedInfoBar(int slot, int event, int row)
{
    const InfoBarLayout *layout = bar_layout();
    int rows = layout->rows;
    blocked_lines = (unsigned char)rows;
    if (slot < 0 || row < SELECTABLE_ROWS - rows)
        return 0;

    // Bars of one and four rows start on a grid line of their own; the others get a line.
    int own_line = rows == 1 || rows == 4;
    if (!own_line)
        TAP_Osd_FillBox(rgn, INFO_LEFT, FOOT_Y - WINDOW_ROW_PITCH * rows, INFO_WIDTH, BAR_LINE_H, statusbox_color);
    TAP_Osd_FillBox(rgn, INFO_LEFT, BAR_BOTTOM_LINE_Y, INFO_WIDTH, BAR_LINE_H, statusbox_color);
    int y = (own_line ? 469 : 473) - WINDOW_ROW_PITCH * rows;
    InfoPageLayout text_layout = {FNT_Size_1622, layout->lines, layout->height};

    const char *text = event_text(slot, event);
    if (text == 0 || text[0] == 0) {
        TextField(rgn, INFO_LEFT, y, INFO_RIGHT, "  ", font2_color, statusbox_color, FNT_Size_1622, ALIGN_LEFT,
                  layout->lines, 1, layout->height, INFO_SEP_TITLE, INFO_SEP_LINE);
        longinfo_site = SITE_BAR_LAST;
        return 1;
    }
    // The title stands in the row above: the bar begins with the short info, or with the long
    // info alone for the Info Extender, whose long info repeats the short one.
    const char *shown = text;
    const char *long_info = LongInfo(text);
    if (long_info[0] != 0) {
        shown = AllInfo(text);
        if (settings.desc_extender_support == 1 && shown != long_info)
            shown = long_info;
    }
    if (!draw_info_page(y, shown, statusbox_color, &text_layout))
        longinfo_site = SITE_BAR_LAST;
    return 1;
}

// --- Info window ---

// Lays the window's text out in dctstr: the title, an empty line, then the short and the long
// info; for the Info Extender the title, an empty line and the long info alone.
static void window_layout(const char *text)
{
    if (text != dctstr) {
        strncpy(dctstr, text, WINDOW_COPY_MAX);
        dctstr[WINDOW_COPY_MAX] = 0;
    }
    dctstr[WINDOW_TEXT_MAX] = 0;
    char *short_sep = strstr(dctstr, " ~ ");
    char *long_sep = strchr(dctstr, INFO_SEP_LINE);
    if (settings.desc_extender_support == 1 && short_sep != 0 && long_sep != 0 && long_sep > short_sep) {
        snprintf(_strBuf, STRBUF_SIZE, "%s", long_sep + 1);
        RemInfo(dctstr);
        size_t used = strlen(dctstr);
        snprintf(dctstr + used, WINDOW_TEXT_MAX + 1 - used, "~ ~%s", _strBuf);
        return;
    }
    if (short_sep != 0) {
        memcpy(short_sep, "~ ~", 3);
        return;
    }
    if (long_sep != 0) {
        size_t tail = strlen(long_sep);
        size_t at = (size_t)(long_sep - dctstr);
        if (at + tail + 1 > WINDOW_TEXT_MAX)   // the last character gives way to the empty line
            tail = WINDOW_TEXT_MAX - at - 1;
        memmove(long_sep + 1, long_sep, tail);
        long_sep[tail + 1] = 0;
    }
}

// Clears the title box for the window: the label or date at the left and the channel's box.
static void window_title(int svcType, int channel)
{
    TAP_Osd_FillBox(rgn, WINDOW_LABEL_X, WINDOW_LABEL_Y, WINDOW_LABEL_W, WINDOW_LABEL_H, titlebox_color);
    TAP_Osd_FillBox(rgn, WINDOW_TITLE_BOX_X, WINDOW_TITLE_BOX_Y, WINDOW_TITLE_BOX_W, WINDOW_TITLE_BOX_H,
                    titlebox_color);
    DrawChannelTitle(svcType, channel, WINDOW_CHANNEL_X, WINDOW_CHANNEL_RIGHT, font_title);
}

void ExtendedInfoWindow(int svcType, int channel, int slot, int event)
{
    window_title(svcType, channel);
    const char *text = event_text(slot, event);
    if (text == 0 || text[0] == 0) {
        TAP_Osd_PutString(rgn, WINDOW_DATE_X, WINDOW_TITLE_Y, WINDOW_DATE_RIGHT,
                          LangText(no_epg_info_text[0], no_epg_info_text[1], no_epg_info_text[2]), font_red,
                          titlebox_color, FNT_Type_Default, FNT_Size_1926, 0);
        TAP_Osd_FillBox(rgn, INFO_LEFT, WINDOW_TOP, INFO_WIDTH, WINDOW_FIELD_H, box2_color);
        longinfo_site = SITE_WINDOW_LAST;
        return;
    }
    window_layout(text);

    const EpgEvent *ev = EpgRecord(slot, event);
    char line[LINE_SIZE];
    const char *wd = Date_Parts(ev->start_mjd);
    snprintf(line, sizeof line, "%s %02d.  %2d:%02d - %d:%02d", wd, ev_day, ev->start_hour, ev->start_min,
             ev->end_hour, ev->end_min);
    TAP_Osd_PutString(rgn, WINDOW_DATE_X, WINDOW_TITLE_Y, WINDOW_DATE_RIGHT, line, font_red, titlebox_color,
                      FNT_Type_Default, FNT_Size_1926, 0);

    TAP_Osd_FillBox(rgn, INFO_LEFT, WINDOW_TOP, INFO_WIDTH, WINDOW_STRIP_H, box2_color);
    int large = settings.info_font_large == 1;
    int more = draw_info_page(WINDOW_TEXT_TOP, dctstr, box2_color, large ? &info_window_large : &info_window_small);
    if (info_page_shown == 1 && longinfo_mode == 2)
        TimerIcon(svcType, slot, event, large ? WINDOW_MARK_Y_LARGE : WINDOW_MARK_Y, 0, cursor);
    if (!more)
        longinfo_site = SITE_WINDOW_LAST;
}

// --- The info key ---

void CloseInfoWin(int keep)
{
    int method = settings.info_open_method;
    if (longinfo_mode != 2 && method != 0)
        return;
    longinfo_mode = method >= 3 - keep ? 1 : 0;
    InfoBarShown();
}

void Info_Page(int step)
{
    int page = longinfo_site > 0 ? longinfo_site : info_page_shown;
    if (step < 0)
        longinfo_site = page > 1 ? page - 1 : 1;
    else if (longinfo_site > 0)
        longinfo_site = page + 1;
    else
        longinfo_site = longinfo_mode == 2 ? page : 1;
}

static void open_info(int mode)
{
    longinfo_mode = (byte)mode;
    longinfo_site = 1;
}

// The view in force: the Now view, or the Normal view (also for result lists).
static int now_view_in_force(void)
{
    return settings.view > 0 && search_mode % 10 != 3;
}

// The redraw after the info key: a new page in place; the window or bar closed: the whole frame
// again; a bar or window opened over the page: the view, with the selection above the bar.
static void redraw_after_info(int mode_before)
{
    if (longinfo_mode == mode_before) {
        if (now_view_in_force())
            Draw_Now(0);
        else
            DrawEventBuf(0);
        return;
    }
    if (mode_before == 2 || longinfo_mode == 0) {
        InfoBarShown();
        Position_Store();
        DrawEPG(0);
        return;
    }
    if (now_view_in_force()) {
        Draw_Now(1);
        return;
    }
    if (InfoBarShown()) {
        while (cursor > SELECTABLE_ROWS - 1 - blocked_lines && cursor > 0) {
            cursor--;
            ListOffset++;
        }
    }
    DrawEventBuf(0);
}

// The info window pages on; after its last page the info falls back to `fallback` (0 none,
// 1 the bar).
static void window_next_page(int last_page, int fallback)
{
    if (!last_page)
        Info_Page(1);
    else
        longinfo_mode = (byte)fallback;
}

void Info_Key(void)
{
    int before = longinfo_mode;
    int last_page = longinfo_site <= 0;   // the open info shows its last page
    switch (settings.info_open_method) {
    case 0:
        if (longinfo_mode == 0)
            open_info(1);
        else if (!last_page)
            Info_Page(1);
        else
            CloseInfoWin(0);
        break;
    case 1:
        if (longinfo_mode != 2)
            open_info(2);
        else
            window_next_page(last_page, 0);
        break;
    case 3:
        longinfo_mode = 1;
        longinfo_site = last_page ? 1 : longinfo_site + 1;
        break;
    case 4:
        if (longinfo_mode != 2)
            open_info(2);
        else
            window_next_page(last_page, 1);
        break;
    default:   // 2: the bar, then the window
        if (longinfo_mode != 2)
            open_info(longinfo_mode + 1);
        else
            window_next_page(last_page, 0);
        break;
    }
    redraw_after_info(before);
}

// --- Chosen time ---

// The chosen time from the start of a record, when the slot holds it. Returns 1 when it did.
static int chosen_from_record(int slot, int index)
{
    if (slot < 0 || slot >= BUFFER_SLOTS || index < 0 || index >= EVENTS_PER_SLOT || index >= max_Event[slot])
        return 0;
    const EpgEvent *ev = EpgRecord(slot, index);
    if (ev == 0)
        return 0;
    temp_mjd = ev->start_mjd;
    temp_h = ev->start_hour;
    temp_min = ev->start_min - ev->start_min % CHOSEN_TIME_STEP;
    return 1;
}

static void chosen_from_now(void)
{
    temp_mjd = time_mjd;
    temp_h = time_h;
    temp_min = time_min - time_min % CHOSEN_TIME_STEP;
}

// step non-zero: the chosen time goes to its quarter hour and then step minutes on (or back).
// step 0, only while neither timeline_mode nor search_mode is set: the chosen time follows the
// selection: the selected event's start in the Normal view (the present when the row is empty),
// the present in Now view 1, the start of the shown following event in the "next" views (the
// present when the channel is not buffered or its buffer does not hold the event), prime time of
// today + (view - 4) days in the prime-time views; minutes go down to the quarter hour except for
// prime time.
// Changes temp_mjd, temp_h, temp_min (and currEvent of the selected channel's slot in the "next"
// views).
void TempTime(int step)
{
    if (step != 0) {
        temp_min = temp_min - temp_min % CHOSEN_TIME_STEP + step;
        TimeRevision(&temp_mjd, &temp_h, &temp_min);
        return;
    }
    if (timeline_mode != 0 || search_mode != 0)
        return;
    int view = settings.view;
    if (view <= 0) {
        if (!chosen_from_record(BufferSlot(_svcType, _svcNum), ListOffset + cursor))
            chosen_from_now();
    } else if (view == 1) {
        chosen_from_now();
    } else if (view < NOW_VIEW_PRIME || settings.now_next_mode == 1) {
        // The scratch slot holds some other channel's events: an unbuffered row takes the present.
        int slot = BufferSlot(_svcType, _svcNum + cursor);
        if (slot == SLOT_SCRATCH || !chosen_from_record(slot, FindCurrentEvent(slot) + view - 1))
            chosen_from_now();
    } else {
        temp_mjd = (word)(time_mjd + view - NOW_VIEW_PRIME);
        temp_h = settings.prime_time / 60;
        temp_min = settings.prime_time % 60;
    }
    TimeRevision(&temp_mjd, &temp_h, &temp_min);
}
