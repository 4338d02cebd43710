// The idle duties (see idle.h). Every duty that is not due returns after comparing a stored
// second, minute or counter with the clock, so an idle event costs a few comparisons.
//
// Sections:
//   --- The chain ---
//   --- Messages and the waiting timers ---
//   --- Deferred duties ---
//   --- Background filling and the start of the scan ---
//   --- Refresh and scan steps ---
#include "frame/idle.h"

#include <stdio.h>
#include <string.h>

#include "epgdb/buffer.h"
#include "epgdb/bufferfile.h"
#include "epgdb/fill.h"
#include "export/export.h"
#include "frame/msgbox.h"
#include "frame/state.h"
#include "remote/commands.h"
#include "search/editor.h"
#include "search/entries.h"
#include "search/record.h"
#include "search/search.h"
#include "settings/colors.h"
#include "settings/settings.h"
#include "timers/backup.h"
#include "timers/names.h"
#include "timers/set.h"
#include "timers/table.h"
#include "timers/watch.h"
#include "views/extraclock.h"
#include "views/window.h"

enum {
    MINUTES_PER_DAY = 1440,
    SECONDS_PER_MINUTE = 60,
    SCAN_INTERVAL_OFF = 61,        // settings.scan_interval that switches periodic filling off
    SCAN_START_PHASE = 2,          // the scan may start on seconds 2, 7, 12, ... of a minute
    SCAN_START_EVERY = 5,
    SCAN_LAST_CHANNEL = 199,       // a refresh beyond the scan's channels goes on up to here
    SCAN_ROWS_NOW_VIEW = 9,        // the Now view walks its cursor down to this row first
    IDLE_TIMER_REFERENCE = 72,     // the timer slot a queued timer is compared through
    IDLE_TIMER_FROM_QUEUE = 74,    // the timer slot the queue hands its first timer into
    REMOTE_DONE_TICKS = 200,       // the "complete" box stands 2 seconds
    TICKS_PER_SECOND = 100,        // TAP_GetTick counts 10 ms
    COUNTDOWN_X = 559, COUNTDOWN_Y = 76, COUNTDOWN_RIGHT = 655
};

// Start-up search: the search selection for each settings.interest_msg (0: none).
static const int interest_selection[] = {0, 1, 2, 10, 9};
enum { INTEREST_CHOICES = sizeof(interest_selection) / sizeof(interest_selection[0]) };

byte refresh_sec = MSG_SECOND_NONE;
byte lastfill_sec = MSG_SECOND_NONE;
byte backgound_lastsec = MSG_SECOND_NONE;
byte last_sec;
byte SetTimer_lastsec = MSG_SECOND_NONE;
int fill_idx2;
int fill_idx;
int remote_min = REMOTE_MIN_NONE;

static void count_message_down(void);
static void startup_search_message(void);
static int set_waiting_timer(void);
static void remote_complete_message(void);

// --- The chain ---

// The extra clock while the views are hidden: counting the key window down, or always shown.
// Not over the start-up search message: the clock would draw into its box and take the second
// its countdown waits for, so the message would never go.
static void extra_clock_if_shown(void)
{
    if (_epgShow != 0 || search_start > 0)
        return;
    int always_on = settings.clock_button == 2 || settings.clock_button >= 4;
    if (countdown > 0 || (always_on && subState == SUBSTATE_Normal && MsgCountdown == 0))
        ExtraClock();
}

// The remote mode: re-reads the search and command files once in every minute of the day that
// is a multiple of settings.remote_mode, while nothing else needs the screen or the timer table.
static void poll_remote_commands(void)
{
    if (_epgShow != 0 || subState != SUBSTATE_Normal || settings.remote_mode <= 0)
        return;
    int now = time_h * 60 + time_min;
    if (now == remote_min || now % settings.remote_mode != 0 || ToSetTimer_max != 0 || RemoteMsg != 0)
        return;
    ReadSearchINI();
    ReadCommandINI();
    remote_min = now;
}

// The short key window after a key: one second off for every 100 ticks since the key, so a
// window of n seconds lasts n seconds whatever the clock's second was at the key.
static void count_key_window_down(void)
{
    if (countdown <= 0)
        return;
    dword now = TAP_GetTick();
    while (countdown > 0 && now - countdown_tick >= TICKS_PER_SECOND) {
        countdown--;
        countdown_tick += TICKS_PER_SECOND;
    }
}

int Idle_Chain(void)
{
    count_key_window_down();
    if (_epgShow == 1 && MsgCountdown == 0) {
        if (autorefresh > 0)
            auto_FillBuffer();
        else
            DrawTime();
    }
    if (autorefresh > 0 || (_epgShow == 0 && MsgCountdown == 0 && subState == SUBSTATE_Normal))
        FillBufHide();
    if (time_sec != backgound_lastsec)
        background_functions();
    extra_clock_if_shown();
    poll_remote_commands();
    count_message_down();
    startup_search_message();
    if (set_waiting_timer() == IDLE_CONSUMED)
        return IDLE_CONSUMED;
    remote_complete_message();
    if (create_TimerList == 1 && ToSetTimer_max == 0) {
        create_TimerList = 0;
        Create_TimerList(0);
    }
    Timer_ChangeDate_Minute();
    return IDLE_GOES_ON;
}

// --- Messages and the waiting timers ---

// Once per second while a message counts down: the free-disk warning is drawn again on even
// counts (another screen may have covered it) and every message goes at 0. The screen then
// returns to the firmware, or to the views if they are open.
static void count_message_down(void)
{
    if (MsgCountdown == 0 || time_sec == last_sec)
        return;
    MsgCountdown--;
    if (MsgCountdown > 0 && MsgCountdown % 2 == 0 && freesize_msg == 1) {
        TAP_ExitNormal();
        DrawMsgBox(_strBuf2);
        TAP_Osd_Sync();
    }
    if (MsgCountdown == 0) {
        if (freesize_msg == 1)
            _strBuf2[0] = 0;
        freesize_msg = 0;
        cls();
        // The views as they are now: the user may have moved on while the message stood.
        if (_epgShow == 1)
            DrawEPG(DRAW_AS_IS);
        else
            TAP_EnterNormal();
    }
    last_sec = time_sec;
}

// The start-up message "Events of interest found!": first the search it reports on, then a
// countdown of its seconds on screen.
static void startup_search_message(void)
{
    if (search_start <= 0 || MsgCountdown != 0 || RemoteMsg != 0)
        return;
    if (search_start == START_SEARCH_DUE) {
        int choice = settings.interest_msg;
        if (choice > 0 && choice < INTEREST_CHOICES)
            SearchAll(interest_selection[choice], 1);
        if (max_Event[SLOT_RESULT] == 0) {
            search_start = 0;
            return;
        }
        SearchEntryDefaults(&Search[SEARCH_WORKING]);
        strcpy(_strBuf2, "???");
        search_idx = SEARCH_WORKING;
        search_start = START_SEARCH_SHOWS;
        TAP_ExitNormal();
        DrawSearchMsg();
        return;
    }
    if (time_sec == last_sec)
        return;
    last_sec = time_sec;
    search_start--;
    if (search_start == 0) {
        cls();
        TAP_EnterNormal();
    }
}

// Sets the first timer of the queue on seconds that are multiples of
// settings.search_record_delay (every pass when it is 0). A timer of a remote command that the
// receiver refused puts up its error for RemoteMsgWait seconds (5 without a value). Returns
// IDLE_CONSUMED then, else IDLE_GOES_ON.
static int set_waiting_timer(void)
{
    if (ToSetTimer_max <= 0 || MsgCountdown != 0)
        return IDLE_GOES_ON;
    int delay = settings.search_record_delay;
    if (delay > 0 && (time_sec == SetTimer_lastsec || time_sec % delay != 0))
        return IDLE_GOES_ON;
    CopyTimerToSet(QUEUE_TAKE_FIRST, IDLE_TIMER_FROM_QUEUE);
    CopyTimer(IDLE_TIMER_REFERENCE, IDLE_TIMER_FROM_QUEUE);
    Set_Timer(IDLE_TIMER_FROM_QUEUE);
    SetTimer_lastsec = time_sec;
    if (RemoteMsg == 1 && TimerError != 0) {
        MsgCountdown = (byte)RemoteErrorSeconds();
        TAP_ExitNormal();
        TimerErrorMsg2();
        return IDLE_CONSUMED;
    }
    return IDLE_GOES_ON;
}

// "Remote Commands complete!" for 2 seconds once the commands and their timers are done.
static void remote_complete_message(void)
{
    if (RemoteMsg == 0 || ToSetTimer_max != 0 || MsgCountdown != 0)
        return;
    RemoteMsg = 0;
    snprintf(_strBuf, STRBUF_SIZE, "%s",
             LangText("Remote Commands complete!", "Remote-Kommandos ausgef\xFChrt!", ""));
    DrawMsgBox(_strBuf);
    TAP_Osd_Sync();
    TAP_Delay(REMOTE_DONE_TICKS);
    cls();
    if (_epgShow == 1)
        DrawEPG(DRAW_AS_IS);
}

// --- Deferred duties ---

void background_functions(void)
{
    if (settings.color_scheme == COLOR_SCHEME_USER_RESET)
        Set_Colors();
    if (settings.save_buffer_request == 1) {
        SaveBufferFile();
        settings.save_buffer_request = 0;
    }
    // Cleared first, so the file written does not carry the request into the next start.
    if (settings.save_settings_request == 1) {
        settings.save_settings_request = 0;
        SaveSettingsFile();
    }
    backgound_lastsec = time_sec;
}

// --- Background filling and the start of the scan ---

// 1 when channel number n lies beyond what background filling visits.
static int beyond_fill_range(int n)
{
    return n >= BUFFER_SLOTS_TV || n >= settings.buffered_channels || n >= _maxSvcNum;
}

// Fills the next channel on the transponder the receiver is tuned to, from fill_idx on.
// Returns 1 when it filled one, 0 when none is left before the end of the range.
static int fill_on_transponder(int transponder)
{
    while (!beyond_fill_range(fill_idx)) {
        TAP_Channel_GetInfo(SVC_TYPE_Tv, fill_idx, &chInfo);
        if (chInfo.transponder == transponder) {
            RefillBuffer(SVC_TYPE_Tv, fill_idx);
            fill_idx++;
            if (beyond_fill_range(fill_idx))
                fill_idx = 0;
            return 1;
        }
        fill_idx++;
    }
    return 0;
}

// Starts the automatic scan from the channel the receiver shows. When the views were hidden the
// scan starts from a clean view state (a list left open last time would hide its progress, and
// a row left selected would skip channels); nothing the user sees is lost by that. The view's
// channel is then taken from the receiver: the plug-in's copy is only brought up to date by keys,
// and the receiver may have been tuned by its own remote since.
void Start_Scan(int now_in_minutes)
{
    int was_hidden = _epgShow == 0;
    scan_mode = 1;
    autorefresh = settings.scan_time_per_channel + 1;
    _epgShow = 1;
    last_epgscan = now_in_minutes;
    if (was_hidden) {
        TAP_Channel_GetCurrent(&_svcType, &_svcNum);
        CountChannels();
        ApplyChannelLimit();
        menu = 0;
        help = 0;
        search_mode = 0;
        timer_mode = 0;
        keyboard_mode = 0;
        timeline_mode = 0;
        cursor = 0;
        ListOffset = 0;
    }
}

void FillBufHide(void)
{
    if (time_sec == lastfill_sec)
        return;
    lastfill_sec = time_sec;

    if (time_sec % 2 == 1)
        Check_Settings();

    int svcType = SVC_TYPE_Tv, svcNum = 0;
    TAP_Channel_GetCurrent(&svcType, &svcNum);
    int on_tv = svcType == SVC_TYPE_Tv;
    if (settings.tv_only == 0 || on_tv) {
        if (nowRecordAge > 0)
            CheckNowTimer();
        if (time_sec % 10 == 0)
            CheckWakeUpTimer();
    }
    if (time_min % 10 == 0)
        HideAutoRecord();
    SaveBufferAuto();

    TAP_Channel_GetInfo(svcType, svcNum, &chInfo);
    int transponder = chInfo.transponder;

    // The two fillings take turns b seconds apart, each every 2b seconds; a refresh runs them
    // every second, channel order on odd and the transponder on even seconds.
    int b = settings.scan_interval;
    int periodic = b >= 1 && b < SCAN_INTERVAL_OFF;
    int second_of_hour = time_min * SECONDS_PER_MINUTE + time_sec;
    int refreshing = autorefresh > 0;
    if (settings.tv_only == 0 || on_tv) {
        if ((periodic && (second_of_hour + b) % (2 * b) == 0) || (refreshing && time_sec % 2 == 1)) {
            if (beyond_fill_range(fill_idx2))
                fill_idx2 = 0;
            RefillBuffer(svcType, fill_idx2);
            fill_idx2++;
        }
    }
    if ((periodic && second_of_hour % (2 * b) == 0) || (refreshing && time_sec % 2 == 0)) {
        if (fill_on_transponder(transponder))
            return;
    }
    if (beyond_fill_range(fill_idx))
        fill_idx = 0;

    if (time_sec % SCAN_START_EVERY != SCAN_START_PHASE)
        return;
    int now = time_h * 60 + time_min;
    int now_in_minutes = time_mjd * MINUTES_PER_DAY + now;
    int window_opens = now == settings.scan_window_start && now <= settings.scan_window_end && on_tv &&
                       svcNum == 0 && last_epgscan + 1 < now_in_minutes;
    int resumed = settings.scan_state == 1 && on_tv && svcNum < settings.buffered_channels && _epgShow == 0 &&
                  MsgCountdown == 0 && subState == SUBSTATE_Normal;
    if (window_opens || resumed)
        Start_Scan(now_in_minutes);
}

// --- Refresh and scan steps ---

// A refresh that cannot go on: it stops and the screen goes back to the firmware.
static void stop_refresh(void)
{
    scan_mode = 0;
    autorefresh = 0;
    _epgShow = 0;
    cls();
    TAP_EnterNormal();
}

// The end of a refresh or scan: the views close, the exports and recording by search words
// that were asked for run, and the receiver goes back to the first channel.
static void end_refresh(void)
{
    autorefresh = 0;
    _epgShow = 0;
    cls();
    if (settings.export_after_scan == 1 || settings.export_after_scan == 3)
        ExportCSV(1);
    if (settings.export_after_scan == 2 || settings.export_after_scan == 3)
        ExportHTML(1);
    if (settings.auto_record_by_search > 0) {
        SearchAndRecord(1);
        cls();
    }
    TAP_EnterNormal();
    TAP_Channel_Start(1, _svcType, 0);
}

void auto_FillBuffer(void)
{
    // A firmware menu or standby took over: the refresh stops and the screen is given back.
    if (mainState != STATE_Normal) {
        stop_refresh();
        return;
    }
    if (time_sec == refresh_sec)
        return;
    // Only buffered TV channels are refreshed; waiting here for another channel would hold the
    // screen (and the next key) for good.
    if (_svcNum + cursor >= BUFFER_SLOTS_TV || _svcType != SVC_TYPE_Tv) {
        stop_refresh();
        return;
    }
    settings.scan_state = 2;

    if (autorefresh >= 2) {
        refresh_sec = time_sec;
        autorefresh--;
        snprintf(_strBuf, STRBUF_SIZE, " %3d sec ", autorefresh);
        TAP_Osd_PutString(rgn, COUNTDOWN_X, COUNTDOWN_Y, COUNTDOWN_RIGHT, _strBuf, font_red, titlebox_color,
                          FNT_Type_Default, FNT_Size_1926, 0);
        TAP_Osd_Sync();
        return;
    }

    // The channel's time is up: take what the firmware collected meanwhile.
    TAP_ExitNormal();
    TAP_Channel_GetCurrent(&_svcType, &_svcNum);
    FillBuffer(_svcType, _svcNum);
    if (scan_mode != 0) {
        autorefresh = settings.scan_time_per_channel + 1;
        SaveBufferFile();
    } else {
        autorefresh = REFRESH_SECONDS_USER;
    }
    if (settings.now_first_channel >= 0)
        cursor = 0;
    DrawEPG(11);

    int a = _svcNum + cursor;
    int scan_max = settings.scan_max_channels;
    int more = (a < scan_max - 1 || (a >= scan_max && a < SCAN_LAST_CHANNEL)) && a < _maxSvcNum - 1 &&
               a < settings.buffered_channels - 1;
    if (!more) {
        end_refresh();
        return;
    }
    if (settings.view > 0 && cursor < SCAN_ROWS_NOW_VIEW)
        cursor++;
    else
        _svcNum = (_svcNum + 1) % _maxSvcNum;
    TAP_Channel_Start(1, _svcType, _svcNum + cursor);
}

void Position_Store(void)
{
    svcNum_store = _svcNum;
    cursor_store = cursor;
    ListOffset_store = ListOffset;
}
