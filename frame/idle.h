// The idle duties every event runs before its key is looked at: the refresh or scan of the EPG
// buffer, background filling channel by channel, deferred saves, the timer watch and queue, the
// remote-command poll, the message countdowns, the start-up search message and the dates in timer
// names once a minute. Duties that run once per second compare a stored second with the clock.
// Leans on frame/state (clock, states), epgdb/ (filling, saving), timers/, search/, remote/ and
// views/ for the work each duty calls.
#ifndef DIRO_FRAME_IDLE_H
#define DIRO_FRAME_IDLE_H

#include "frame/platform/tap.h"

enum {
    REFRESH_SECONDS_USER = 13,    // autorefresh of a user refresh: 12 seconds per channel
    MSG_SECOND_NONE = 99,         // last_sec after a key: the next idle pass takes its second as new
    START_SEARCH_DUE = 30,        // search_start: the start-up search runs at the next idle pass
    START_SEARCH_SHOWS = 21,      // search_start while its message shows: seconds + 1
    REMOTE_MIN_NONE = -1,         // remote_min before the first poll
    DRAW_AS_IS = 2                // DrawEPG: a plain redraw, not from the saved positions
};

// Results of Idle_Chain.
enum {
    IDLE_GOES_ON = 0,   // the event goes on (an idle event returns, a key goes to the dispatch)
    IDLE_CONSUMED = 1   // a failed remote timer put up its message: the event ends here
};

// --- Globals of the idle duties ---
extern byte refresh_sec;       // second in which the refresh step last counted down
extern byte lastfill_sec;      // second in which FillBufHide last ran
extern byte backgound_lastsec; // second in which background_functions last ran
extern byte last_sec;          // second last handled by the message countdowns and the clocks; 99 after a key
extern byte SetTimer_lastsec;  // second in which a waiting timer was last set
extern int fill_idx2;          // next channel for background filling in channel order
extern int fill_idx;           // next channel for background filling on the current transponder
extern int remote_min;         // minute of the day of the last remote-command poll; -1 none yet

// Runs the chain of idle duties in its fixed order; the clock (time_*) and the firmware state
// (mainState, subState) have just been read. First of all the key window (countdown) loses a
// second for every 100 ticks since countdown_tick. Returns IDLE_GOES_ON, or IDLE_CONSUMED when a
// timer of a remote command failed and its message now shows.
// Changes the globals above, countdown, countdown_tick and those of the duties it calls.
int Idle_Chain(void);

// The deferred duties, once per second: colour reset, requested saves of the buffer and
// settings files. Changes backgound_lastsec, settings.save_buffer_request,
// settings.save_settings_request.
void background_functions(void);

// Once per new second while the views are hidden (or a refresh runs): settings check, timer
// watch, background filling in channel order and on the current transponder, and the start of
// the automatic scan. Changes lastfill_sec, fill_idx, fill_idx2 and, when a scan starts,
// scan_mode, autorefresh, _epgShow, last_epgscan, cursor, ListOffset, _svcType, _svcNum.
void FillBufHide(void);

// One step of a running refresh or scan, once per second: counts the channel's seconds down,
// then fills it, saves the buffer (scan), and tunes the next channel, or ends the refresh on the
// last one (exports, recording by search words, back to TV channel 0). Stops at once (the
// screen goes back to the firmware) when the firmware left its normal state or the view's
// channel is not a TV channel below 200. Changes autorefresh, scan_mode, _epgShow, refresh_sec,
// _svcType, _svcNum, cursor, settings.scan_state.
void auto_FillBuffer(void);

// Saves _svcNum, cursor and ListOffset into svcNum_store, cursor_store and ListOffset_store, so a
// view replaced by a window or list comes back where it was.
void Position_Store(void);

// Starts the automatic EPG scan on the channel the receiver shows: the views count as shown and
// the next events run the scan. now_in_minutes (MJD x 1440 + minutes of the day) is remembered as
// the last scan's start. When the views were hidden the scan starts from a clean view state on
// the channel the receiver is tuned to (_svcType, _svcNum read from it).
void Start_Scan(int now_in_minutes);

#endif
