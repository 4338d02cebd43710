// The application frame's globals: the clock and channel copies read at every event, the main
// states of the dispatch, the message countdowns, and the scratch buffers every subsystem shares
// (one operation at a time). All of them are defined in frame/state.cpp.
#ifndef DIRO_FRAME_STATE_H
#define DIRO_FRAME_STATE_H

#include <stdint.h>

#include "frame/platform/tap.h"

enum {
    STRBUF_SIZE = 3074,      // size of _strBuf and _strBuf2
    BUFFER_SLOTS_TV = 200,   // TV channels 0..199 can be buffered
};

// --- The clock and the channel, as last read ---
extern word rgn;               // the one OSD region, 720 x 576 at (0, 0)
extern word time_mjd;          // today, Modified Julian Date
extern byte time_h;            // hour 0..23
extern byte time_min;          // minute 0..59
extern byte time_sec;          // second 0..59
extern int _svcType;           // service type of the views' channel: 0 TV, 1 radio
extern int _svcNum;            // service number from 0 (the Now view: first channel of the page)
extern int _maxSvcNum;         // channels of the current type, possibly lowered by the channel-count limit
extern int tv_channel_count;   // the receiver's TV channels when last counted (CountChannels)

// --- Main states ---
extern int _epgShow;           // 0 hidden (TV state), 1 a view or a scan owns the screen, -1 ending
extern byte menu;              // 0 closed, 1 settings menu open, 2 open and changed
extern byte help;              // non-zero while the help screen (1) or a one-key message (2) shows
extern byte search_mode;       // 0 none; 1 list; 2 editor; 3, 13, 23 result lists
extern byte timer_mode;        // 0 none; 1 editor for an event; 2 list; 3 editor for a list entry
extern byte keyboard_mode;     // non-zero while the on-screen keyboard is open
extern byte longinfo_mode;     // 0 no extended info, 1 info bar, 2 info window
extern byte timeline_mode;     // 1 while the views show the chosen time instead of now
extern dword mainState;        // firmware state read at every event; keys only while 0
extern dword subState;         // firmware sub-state; 31 is normal viewing

// --- Position in the views and lists ---
extern int cursor;             // selected row on the page of the open view or list
extern int ListOffset;         // first row of the page (the Normal view: index of the event in row 0)
extern int cursor_store;       // position saved by Position_Store ...
extern int ListOffset_store;
extern int svcNum_store;
extern int cursor_store2;      // position of a list to return to from its editor or result list
extern int ListOffset_store2;
extern int longinfo_site;      // page of the extended info text, from 1
extern int countdown;          // seconds of a short key window (4 after a passed-on key, 3 after digits)
extern dword countdown_tick;   // tick (10 ms) the key window counts from: the last key while it is open
extern word temp_mjd;          // the chosen time shown while timeline_mode is 1: date ...
extern int temp_h;             // ... hour
extern int temp_min;           // ... minute
extern int curr_svcNum;        // the channel the receiver shows (the views may show another)

// --- Key repeat ---
extern dword lasttick;         // tick of the last left/right key, 0 after other keys
extern byte Key_lastsec;       // second in which Key_TimeCount last grew
extern int Key_TimeCount;      // seconds the left/right key has been held

// --- Refresh, scan and messages ---
extern byte scan_mode;         // 0 user refresh, 1 automatic scan, 2 user refresh at scan timing
extern int autorefresh;        // seconds (plus one) left on the channel being refreshed; 0 none
extern int last_epgscan;       // start of the last automatic scan, minutes since MJD 0
extern byte freesize_msg;      // 1 while the free-disk warning is the message showing
extern byte MsgCountdown;      // seconds the free-disk or remote message still shows
extern int search_start;       // 30 start-up search due, 1..21 seconds its message shows, 0 none

// --- Shared scratch ---
extern char _strBuf[STRBUF_SIZE];    // scratch text, one operation at a time
extern char _strBuf2[STRBUF_SIZE];   // scratch text; holds the free-disk message while it shows
extern PlatformChannelInfo chInfo;   // scratch channel record

// Reads the firmware clock into time_mjd, time_h, time_min, time_sec.
void ReadClock(void);

// Counts the channels of the current service type into _maxSvcNum, and the TV channels into
// tv_channel_count.
void CountChannels(void);

// The channel-count limit: for TV only, lowers _maxSvcNum to settings.scan_max_channels
// (show_scanned_only 1, 2) or settings.buffered_channels (3, 4). Returns 1 when it lowered it.
int ApplyChannelLimit(void);

#endif
