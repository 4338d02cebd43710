// The key table (see keys.h): one handler per view, each a single switch over the keys the view
// knows. The actions several views share come first; every handler ends in a redraw by the
// view's own function (DrawEventBuf, Draw_Now, DrawEPG, SearchList, Timer_List, the menus).
//
// Sections:
//   --- Shared actions ---
//   --- Keys of both views ---
//   --- Normal view ---
//   --- Now view ---
//   --- Result lists ---
//   --- EPG-button path and the table's entry ---
#include "frame/keys.h"

#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "epgdb/lookup.h"
#include "export/channels.h"
#include "export/export.h"
#include "frame/dispatch.h"
#include "frame/epgkeys.h"
#include "frame/idle.h"
#include "frame/msgbox.h"
#include "frame/startup.h"
#include "frame/state.h"
#include "remote/commands.h"
#include "search/editor.h"
#include "search/entries.h"
#include "search/keyboard.h"
#include "search/list.h"
#include "search/record.h"
#include "search/results.h"
#include "search/search.h"
#include "settings/menu.h"
#include "settings/menukeys.h"
#include "settings/settings.h"
#include "text/coded.h"
#include "timers/backup.h"
#include "timers/editor.h"
#include "timers/list.h"
#include "timers/set.h"
#include "timers/table.h"
#include "views/help.h"
#include "views/info.h"
#include "views/nowview.h"
#include "views/window.h"

enum {
    QUARTER_HOUR = 15,
    SEARCH_MIN_CHARS = 2,           // a word shorter than this becomes "???"
    TIMEBAR_TITLE_LAST = 8,
    TIMEBAR_NOW_FIRST = -1, TIMEBAR_NOW_LAST = 16,
    SEARCH_LIST_OPENED = 1, SEARCH_EDITOR_OPENED = 2
};

// --- Shared actions ---

static int in_now_view(void)
{
    return settings.view > 0;
}

static int in_result_list(void)
{
    return search_mode % 10 == 3;
}

// The channel of the selected row: the Now view's row, or the Normal view's channel.
static int selected_channel(void)
{
    return in_now_view() ? _svcNum + cursor : _svcNum;
}

static int selected_is_tv_below_200(void)
{
    return _svcType == SVC_TYPE_Tv && selected_channel() < BUFFER_SLOTS_TV;
}

static int selected_is_buffered_tv(void)
{
    return selected_is_tv_below_200() && selected_channel() < settings.buffered_channels;
}

// The Now view wraps from the last channel to the first and back in these modes.
static int loop_mode(void)
{
    return settings.show_scanned_only == 2 || settings.show_scanned_only == 4;
}

static int last_selectable_row(void)
{
    return SELECTABLE_ROWS - 1 - blocked_lines;
}

static int page_rows(void)
{
    return SELECTABLE_ROWS - blocked_lines;
}

// The slot the Normal view shows: the result channel in a result list, else the channel's slot.
static int view_slot(void)
{
    return in_result_list() ? SLOT_RESULT : BufferSlot(_svcType, _svcNum);
}

// The view's redraw: mode 1 rebuilds the page, 0 only moves the selection.
static void draw_view(int mode)
{
    if (in_now_view() && !in_result_list())
        Draw_Now(mode);
    else
        DrawEventBuf(mode);
}

void Close_Views(void)
{
    _epgShow = 0;
    cls_wss();
    TAP_EnterNormal();
}

// The title of a buffered event (decoded, without its infos, at most 127 characters) into
// `title`, which holds SEARCH_WORD_SIZE bytes; "???" when it has fewer than 2 characters or the
// record does not exist.
static void event_title(int slot, int index, char *title)
{
    title[0] = 0;
    EpgEvent *e = EpgRecord(slot, index);
    if (e && index < max_Event[slot]) {
        strncpy(title, DCT(e->text), SEARCH_WORD_SIZE - 1);
        title[SEARCH_WORD_SIZE - 1] = 0;
        RemInfo(title);
    }
    if (strlen(title) < SEARCH_MIN_CHARS)
        strcpy(title, "???");
}

// The chosen time is drawn: switched on by the first time key (the page is rebuilt), moved by
// the next ones.
static void draw_chosen_time(void)
{
    if (timeline_mode == 0) {
        timeline_mode = 1;
        draw_view(1);
    } else {
        draw_view(0);
    }
}

// |< and >|: the chosen time a quarter hour back or on.
static void quarter_hour_key(int minutes)
{
    if (!in_now_view())
        cursor = 0;
    TempTime(minutes);
    draw_chosen_time();
}

// Green and yellow: the chosen time a day back or on.
static void day_key(int days)
{
    temp_mjd = (word)(temp_mjd + days);
    if (!in_now_view())
        cursor = 0;
    draw_chosen_time();
}

// The chosen time becomes today's prime time, or a day later when it shows prime time already.
static void set_prime_time(void)
{
    int shows_present = in_now_view() && timeline_mode == 0;
    if (shows_present || temp_h * 60 + temp_min != settings.prime_time) {
        temp_mjd = time_mjd;
        temp_h = settings.prime_time / 60;
        temp_min = settings.prime_time % 60;
    } else {
        temp_mjd = (word)(temp_mjd + 1);
    }
}

// The clock key in the views: prime time.
static void prime_time_key(void)
{
    set_prime_time();
    timeline_mode = 1;
    if (in_now_view()) {
        draw_view(1);
    } else {
        cursor = 0;
        draw_view(0);
    }
}

// Between the Normal view (of the selected channel) and the Now view.
static void switch_normal_now(void)
{
    if (in_now_view()) {
        _svcNum += cursor;
        settings.view = 0;
    } else {
        settings.view += 1;
    }
    ListOffset = 0;
    countdown = KEY_WINDOW_VIEWS;
    cursor = 0;
    DrawEPG(1);
}

// OK: the views close and the receiver tunes the selected channel.
static void tune_selected(void)
{
    int channel = selected_channel();
    Close_Views();
    TAP_Channel_Start(1, _svcType, channel);
}

static void record_selected(void)
{
    Position_Store();
    RecordSelectedEvent();
}

static void open_timer_list(void)
{
    CloseInfoWin(1);
    Position_Store();
    timer_mode = TIMER_MODE_LIST;
    cursor = 0;
    ListOffset = 0;
    DrawEPG(1);
    HelpTimerlist();
    timerlisthelp = 1;
}

// |>: the selected event's title becomes the working search word, and the search list (from a
// view) or the search editor (from a result list) opens on it.
static void search_selected_title(int slot, int index, int to_editor)
{
    Position_Store();
    SearchEntryDefaults(&Search[SEARCH_WORKING]);
    event_title(slot, index, Search[SEARCH_WORKING].word);
    strcpy(_strBuf2, Search[SEARCH_WORKING].word);
    search_idx = SEARCH_WORKING;
    Cut_Start = 0;
    Cut_End = 0;
    cursor = 0;
    ListOffset = 0;
    if (to_editor) {
        ListOffset_store2 = 0;
        cursor_store2 = 0;
        save_or_del = 1;
        search_mode = SEARCH_EDITOR_OPENED;
        DrawEPG(1);
    } else {
        search_mode = SEARCH_LIST_OPENED;
        DrawEPG(1);
        HelpSearchlist();
    }
}

// PLAY: a refresh of the selected channel and the ones after it, 12 seconds each.
static void start_refresh(void)
{
    autorefresh = REFRESH_SECONDS_USER;
    if (!in_now_view())
        cursor = 0;
    int channel = selected_channel();
    if (selected_is_buffered_tv()) {
        TAP_Channel_Start(1, SVC_TYPE_Tv, channel);
        fill_idx = channel;
        fill_idx2 = channel;
        draw_view(1);
    } else {
        TAP_Channel_Start(1, SVC_TYPE_Tv, 0);
        TAP_Channel_GetCurrent(&_svcType, &_svcNum);
        DrawEPG(1);
    }
    refresh_sec = time_sec;
}

static void open_settings_menu(void)
{
    CloseInfoWin(1);
    menu = 1;
    Position_Store();
    cursor = 0;
    ListOffset = 0;
    DrawEPG(1);
}

// EXIT in the views: the info window closes first, then the views.
static void exit_views(void)
{
    if (longinfo_mode == 2) {
        CloseInfoWin(1);
        Position_Store();
        DrawEPG(0);
    } else {
        Close_Views();
    }
}

// The Red Button in the views: the view in use becomes the default, the settings and the buffer
// are saved, and the views close (an open info window closes first).
static void save_and_close(void)
{
    saved_view = settings.view;
    saved_titletimebar = settings.timebar_title;
    saved_nowtimebar = settings.timebar_now;
    SaveSettingsFile();
    SaveBufferFile();
    exit_views();
}

static void open_help(void)
{
    help = 1;
    countdown = KEY_WINDOW_VIEWS;
    Position_Store();
    DrawEPG(1);
}

// A digit selects a channel by its number: a second digit within the key window makes a two-digit
// number when that channel exists.
static void digit_key(dword key)
{
    if (settings.lcn_support == 1)
        return;
    int digit = (int)(key - RKEY_0);
    int number = (_svcNum + 1) * 10 + digit;
    if (countdown > 0 && number - 1 < BUFFER_SLOTS_TV && number - 1 < _maxSvcNum) {
        _svcNum = number - 1;
    } else {
        if (digit == 0 || digit - 1 >= _maxSvcNum)
            return;
        _svcNum = digit - 1;
    }
    countdown = KEY_WINDOW_VIEWS;
    cursor = 0;
    draw_view(1);
}

// << and >> page the open info window; 1 when they did.
static int page_info_window(dword key)
{
    if (longinfo_mode != 2)
        return 0;
    Info_Page(key == RKEY_Rewind ? -1 : 1);
    draw_view(0);
    return 1;
}

// Blue pages any open info; 1 when it did.
static int page_info(void)
{
    if (longinfo_mode == 0)
        return 0;
    Info_Page(1);
    draw_view(0);
    return 1;
}

// 1 for keys that page the info text (which keeps its page).
static int pages_info(dword key)
{
    return key == RKEY_Info || (key == RKEY_Blue && longinfo_mode != 0) ||
           ((key == RKEY_Rewind || key == RKEY_Forward) && longinfo_mode == 2);
}

// Up, down and paging in the event list of the Normal view and the result lists.
static void list_row_up(void)
{
    if (ListOffset + cursor <= 0 && timeline_mode != 1)
        return;
    timeline_mode = 0;
    if (cursor > 0)
        cursor--;
    else if (ListOffset > 0)
        ListOffset--;
    draw_view(0);
}

static void list_row_down(void)
{
    timeline_mode = 0;
    if (cursor < last_selectable_row()) {
        if (ListOffset + cursor < max_Event[view_slot()] - 1)
            cursor++;
    } else {
        ListOffset++;
    }
    draw_view(0);
}

static void list_page(int direction)
{
    ListOffset += direction * page_rows();
    if (ListOffset < 0)
        ListOffset = 0;
    timeline_mode = 0;
    draw_view(0);
}

// --- Keys of both views ---

// The keys that do the same in the Normal and the Now view: time, view switch, info, help and
// the actions; other keys take the EPG-button path.
static dword keys_both_views(dword key)
{
    switch (key) {
    case RKEY_Prev:
    case RKEY_Next:
        quarter_hour_key(key == RKEY_Prev ? -QUARTER_HOUR : QUARTER_HOUR);
        return 0;
    case RKEY_Green:
    case RKEY_Yellow:
        day_key(key == RKEY_Green ? -1 : 1);
        return 0;
    case RKEY_Sleep:
        prime_time_key();
        return 0;
    case RKEY_Teletext:
        if (selected_is_tv_below_200()) {
            CloseInfoWin(1);
            switch_normal_now();
        }
        return 0;
    case RKEY_Info:
        Info_Key();
        return 0;
    case RKEY_Blue:
        if (page_info())
            return 0;
        return Keys_EpgButton(key);
    case RKEY_Help:
        open_help();
        return 0;
    case RKEY_Ok:
        tune_selected();
        return 0;
    case RKEY_Record:
        record_selected();
        return 0;
    case RKEY_TimerList:
        open_timer_list();
        return 0;
    case RKEY_Play:
        start_refresh();
        return 0;
    case RKEY_Menu:
        open_settings_menu();
        return 0;
    case RKEY_Exit:
        exit_views();
        return 0;
    case RKEY_Stop:
        Stop_Exit();
        return 0;
    case RKEY_0: case RKEY_1: case RKEY_2: case RKEY_3: case RKEY_4:
    case RKEY_5: case RKEY_6: case RKEY_7: case RKEY_8: case RKEY_9:
        digit_key(key);
        return 0;
    default:
        return Keys_EpgButton(key);
    }
}

// --- Normal view ---

// A key in the Normal view (settings.view 0): one channel's events as rows.
static dword keys_normal_view(dword key)
{
    switch (key) {
    case RKEY_Up:
        list_row_up();
        return 0;
    case RKEY_Down:
        list_row_down();
        return 0;
    case RKEY_Left:
        if (_maxSvcNum <= 0)
            return 0;
        _svcNum = _svcNum >= _maxSvcNum ? _maxSvcNum - 1 : (_svcNum + _maxSvcNum - 1) % _maxSvcNum;
        cursor = 0;
        ListOffset = 0;
        draw_view(1);
        return 0;
    case RKEY_Right:
        if (_maxSvcNum <= 0)
            return 0;
        _svcNum = _svcNum >= _maxSvcNum ? 0 : (_svcNum + 1) % _maxSvcNum;
        cursor = 0;
        ListOffset = 0;
        draw_view(1);
        return 0;
    case RKEY_Rewind:
    case RKEY_Forward:
        if (!page_info_window(key))
            list_page(key == RKEY_Rewind ? -1 : 1);
        return 0;
    case RKEY_Subtitle:
        // The idle clock shows the new bar type; the title is drawn again around it (the name
        // makes room for a bar, and a bar of another height leaves nothing behind), and rebuilt
        // when the types wrap.
        if (settings.timebar_title < TIMEBAR_TITLE_LAST) {
            settings.timebar_title++;
            draw_view(0);
        } else {
            settings.timebar_title = 0;
            DrawEPG(1);
        }
        return 0;
    case RKEY_Slow:
        CloseInfoWin(1);
        if (selected_is_buffered_tv())
            search_selected_title(view_slot(), ListOffset + cursor, 0);
        return 0;
    default:
        return keys_both_views(key);
    }
}

// --- Now view ---

static void now_row_up(void)
{
    if (cursor > 0) {
        cursor--;
        draw_view(0);
    } else if (_svcNum > 0) {
        _svcNum--;
        draw_view(1);
    } else if (loop_mode()) {
        _svcNum = _maxSvcNum + blocked_lines - SELECTABLE_ROWS;
        if (_svcNum < 0)
            _svcNum = 0;
        cursor = last_selectable_row();
        draw_view(1);
    }
}

static void now_row_down(void)
{
    int channel = _svcNum + cursor;
    if (channel < BUFFER_SLOTS_TV - 1 && channel < _maxSvcNum - 1) {
        if (cursor < last_selectable_row()) {
            cursor++;
            draw_view(0);
        } else {
            _svcNum = (_svcNum + 1) % _maxSvcNum;
            draw_view(1);
        }
    } else if (loop_mode()) {
        _svcNum = 0;
        cursor = 0;
        draw_view(1);
    }
}

// << and >> outside the info window: a page of channels back or on.
static void now_page(int direction)
{
    if (direction < 0) {
        if (_svcNum == 0) {
            if (!loop_mode())
                return;
            _svcNum = _maxSvcNum + blocked_lines - SELECTABLE_ROWS;
            if (_svcNum < 0)
                _svcNum = 0;
            cursor = last_selectable_row();
        } else {
            _svcNum -= page_rows();
            if (_svcNum < 0)
                _svcNum = 0;
        }
    } else {
        int first = _svcNum + page_rows();
        if (first + cursor < BUFFER_SLOTS_TV && first + cursor < _maxSvcNum) {
            _svcNum = first;
        } else {
            if (!loop_mode())
                return;
            _svcNum = 0;
            cursor = 0;
        }
    }
    draw_view(1);
}

// Left and right step through the Now views; with a chosen time they return to view 1.
static void now_view_step(int direction)
{
    if (timeline_mode == 1) {
        settings.view = 1;
        timeline_mode = 0;
    } else if (direction < 0) {
        if (settings.view > 1)
            settings.view--;
        else if (settings.timebar_now != 0)
            nowmode_timeon = !nowmode_timeon;
    } else {
        int last = settings.now_next_mode == 1 ? NOW_VIEW_LAST_NEXT : NOW_VIEW_LAST;
        if (settings.view < last)
            settings.view++;
    }
    draw_view(1);
}

static void now_subtitle(void)
{
    int view1_present = settings.view == 1 && timeline_mode == 0;
    if (view1_present && nowmode_timeon) {
        nowmode_timeon = 0;
        draw_view(1);
    } else if (view1_present) {
        settings.timebar_now = settings.timebar_now >= TIMEBAR_NOW_LAST ? TIMEBAR_NOW_FIRST : settings.timebar_now + 1;
        show_name = 0;
        draw_view(1);
    } else if (settings.timebar_now > 0) {
        show_name = !show_name;
        draw_view(1);
    }
}

// A key in the Now view (settings.view 1 and up): one channel per row.
static dword keys_now_view(dword key)
{
    switch (key) {
    case RKEY_Up:
        now_row_up();
        return 0;
    case RKEY_Down:
        now_row_down();
        return 0;
    case RKEY_Left:
    case RKEY_Right:
        now_view_step(key == RKEY_Left ? -1 : 1);
        return 0;
    case RKEY_Rewind:
    case RKEY_Forward:
        if (!page_info_window(key))
            now_page(key == RKEY_Rewind ? -1 : 1);
        return 0;
    case RKEY_Subtitle:
        now_subtitle();
        return 0;
    case RKEY_Slow:
        CloseInfoWin(1);
        if (selected_is_buffered_tv())
            search_selected_title(selected_channel(), cursor_event, 0);
        return 0;
    default:
        return keys_both_views(key);
    }
}

// --- Result lists ---

// The selection goes back to the top and the sorted results are drawn anew.
static void results_from_top(void)
{
    cursor = 0;
    ListOffset = 0;
    DrawEPG(1);
}

// OK on a result: the views close and the receiver tunes the result's channel.
static void tune_result(void)
{
    int index = ListOffset + cursor;
    int channel = _svcNum;
    int type = _svcType;
    if (index >= 0 && index < max_Event[SLOT_RESULT] && index < SEARCH_RESULTS_MAX) {
        channel = searchresult_ext[index].channel;
        type = SVC_TYPE_Tv;
    }
    Close_Views();
    TAP_Channel_Start(1, type, channel);
}

// A key in a result list (search_mode 3, 13, 23): the Normal view on the result channel.
static dword keys_result_list(dword key)
{
    switch (key) {
    case RKEY_Up:
        list_row_up();
        return 0;
    case RKEY_Down:
        list_row_down();
        return 0;
    case RKEY_Rewind:
    case RKEY_Forward:
        if (!page_info_window(key))
            list_page(key == RKEY_Rewind ? -1 : 1);
        return 0;
    case RKEY_Red:
        SortResult(1, 1);
        results_from_top();
        return 0;
    case RKEY_Green:
    case RKEY_Yellow:
        SortResult(key == RKEY_Green ? 2 : 3, 1);
        results_from_top();
        return 0;
    case RKEY_Info:
    case RKEY_Blue:
    case RKEY_Help:
    case RKEY_Record:
        return keys_both_views(key);
    case RKEY_Ok:
        tune_result();
        return 0;
    case RKEY_Slow:
        CloseInfoWin(1);
        if (max_Event[SLOT_RESULT] > 0)
            search_selected_title(SLOT_RESULT, ListOffset + cursor, 1);
        return 0;
    default:
        // Left and right would change the channel hidden behind the results: nothing.
        return 0;
    }
}

// --- EPG-button path and the table's entry ---

dword Keys_EpgButton(dword key)
{
    int first = key == first_EPG_key;
    int second = !first && second_EPG_key != 0 && key == second_EPG_key;
    int first_view = settings.first_button_view;
    int second_view = settings.second_button_view;

    // "Guide*": the firmware's own guide opens on the selected channel.
    if (key == RKEY_Guide && ((first && settings.first_epg_button == EPG_BUTTON_GUIDE_STAR) ||
                              (second && settings.second_epg_button == EPG_BUTTON_GUIDE_STAR))) {
        int channel = selected_channel();
        longinfo_site = 1;
        Close_Views();
        TAP_Osd_FillBox(rgn, 0, 0, OSD_WIDTH, OSD_HEIGHT, COLOR_None);
        TAP_Channel_Start(1, _svcType, channel);
        TAP_Osd_Sync();
        return RKEY_Guide;
    }
    if (selected_is_tv_below_200() && !in_result_list()) {
        if ((first && first_view == 4) || (second && (second_view == 4 || second_view == 5))) {
            switch_normal_now();
            return 0;
        }
        if ((first && first_view == 5) || (second && (second_view == 6 || second_view == 7))) {
            set_prime_time();
            if (in_now_view()) {
                timeline_mode = 1;
                draw_view(1);
            } else {
                cursor = 0;
                draw_view(0);
            }
            return 0;
        }
    }
    if (key == RKEY_Red)
        save_and_close();
    else if (first || second)
        exit_views();
    return 0;
}

dword Keys_View(dword key)
{
    if (key < RKEY_0 || key > RKEY_Help)
        return Keys_EpgButton(key);
    if (!pages_info(key))
        longinfo_site = 1;
    if (key < RKEY_0 || key > RKEY_9)
        countdown = 0;

    if (menu != 0) {
        if (key != RKEY_Red)
            return Keys_SettingsMenu(key);
        // The Red Button closes the menu with the views, saving as it does in the views.
        menu = 0;
        save_and_close();
        return 0;
    }
    if (timer_mode == TIMER_MODE_FROM_EPG || timer_mode == TIMER_MODE_FROM_LIST)
        return Keys_TimerEditor(key);
    if (timer_mode == TIMER_MODE_LIST)
        return Keys_TimerList(key);
    if (search_mode == SEARCH_LIST_OPENED)
        return Keys_SearchList(key);
    if (search_mode == SEARCH_EDITOR_OPENED)
        return Keys_SearchEditor(key);
    if (in_result_list())
        return keys_result_list(key);
    if (in_now_view())
        return keys_now_view(key);
    return keys_normal_view(key);
}
