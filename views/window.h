// The full-screen window every view shares and the Normal view inside it: the region handling
// (cls, cls_wss), the grid of title box and eleven rows, the dispatch to the view in force
// (DrawEPG), the event list of one channel (DrawEventBuf), the clock duty of the open window
// (DrawTime) and the progress bar (TimeBar) that the Now view and the extra clock use too.
// Leans on frame/state (view state, clock), epgdb/ (buffer, lookup, fill), settings/ (settings,
// colours), views/info (info bar, status bar, chosen time), timers/ and search/ for what they draw.
//
// Geometry, OSD pixels in the 720 x 576 region rgn: the title box at (59, 70), 600 x 43, with its
// texts at y 76; row k (0..10) begins at y 107 + 36 k with a grid line of 3 pixels, its box below;
// the text of row k stands at y 113 + 36 k. In the Normal view the times fill x 61..199 and the
// title x 201..655; a search result list shifts both right by 40 and adds the weekday (x 61..99)
// and the channel number (x 620..657).
#ifndef DIRO_VIEWS_WINDOW_H
#define DIRO_VIEWS_WINDOW_H

#include "epgdb/buffer.h"
#include "frame/platform/tap.h"

enum {
    WINDOW_ROWS = 11,            // rows of every page
    WINDOW_ROW_TOP = 107,        // y of row 0's grid line
    WINDOW_ROW_PITCH = 36,       // pixels from one row to the next
    WINDOW_TEXT_Y = 113,         // y of row 0's texts
    WINDOW_TITLE_Y = 76,         // y of the texts in the title box
    WINDOW_LEFT = 59,            // x of the title box and the rows
    WINDOW_WIDTH = 600,
    RESULT_SHIFT = 40,           // columns of a search result list move right by this
    TIMEBAR_FULL = 100,          // inside width of the progress bar, pixels = percent
    WSS_WINDOW_OPENED = 0x20001, // events for the WSS Guard plug-in
    WSS_WINDOW_CLOSED = 0x20002
};

extern byte ev_month;     // date parts of the last date the window drew (TAP_ExtractMjd): month 1..12
extern byte ev_day;       // day of the month
extern byte ev_weekDay;   // 0 Monday .. 6 Sunday

// The weekday abbreviation of a date in the user-interface language; sets ev_month, ev_day and
// ev_weekDay.
const char *Date_Parts(word mjd);

// The chosen time (temp_mjd, temp_h, temp_min) as "We 07.  20:15" in red at the left of the
// title box. Changes ev_month, ev_day, ev_weekDay.
void DrawChosenTime(void);

// Reads a channel's record into chInfo; a channel the receiver does not know gets the name "".
void Channel_Info(int svcType, int channel);

// The channel's number (LCN) and name as "%d. %s" at (x, 76) up to maxX in the title box, in fg on
// titlebox_color. Changes chInfo.
void DrawChannelTitle(int svcType, int channel, int x, int maxX, dword fg);

// The text of an event's row, " " and its title with the short info (only the title when
// settings.name_info_statusbar is 2 or 3, which show the short info in the foot line), in _strBuf.
// Changes _strBuf, dctstr.
const char *Row_Title(const EpgEvent *ev);

// Deletes the region, creates it anew, fills it transparent and syncs: the screen is clear.
// Changes rgn.
void cls(void);

// cls, then tells the WSS Guard plug-in that the window closed (settings.wssguard_support 1).
void cls_wss(void);

// Draws the window frame and the view in force: help screen, settings menu, an editor, the timer
// list, the search list, the Now view or the event list. type 1 opens the window (and tells the
// WSS Guard plug-in when settings.wssguard_support is 1); 11 opens it without telling; 0 redraws
// with the positions saved by Position_Store; other values redraw as they stand.
// Changes _svcType, curr_svcNum, settings.view (0 for a radio channel or one from 200 on), the
// firmware event array of the fill (GetEvent), the timer copy, and cursor, ListOffset, _svcNum
// as the view's opening or the saved positions say.
void DrawEPG(int type);

// Draws the event list of the view's channel (or of the search results while search_mode ends in
// 3): title, date, eleven rows, info bar or status bar, the chosen time. mode 1: first drawing of
// a channel (fills an unbuffered channel or an empty slot first and moves to the running event);
// 0: redraw at the current position, the channel title's area cleared first; 2: the periodic
// refresh (running event updated, the position kept). Changes ListOffset (modes 0 and 1),
// currEvent and hole of the slot, chInfo, _strBuf, dctstr, temp_mjd/temp_h/temp_min (TempTime),
// ev_month, ev_day, ev_weekDay.
void DrawEventBuf(int mode);

// The once-a-second duty of the open window, called from the idle chain: the clock in the title
// box, every 10 seconds the timer and buffer duties, the periodic redraws and the title's time
// bar. Does nothing unless the window is open, no message counts down and time_sec differs from
// last_sec. Changes last_sec and what the duties it calls change.
void DrawTime(void);

// The progress bar of record `index` of the channel `channel` (mapped to its buffer slot like
// every lookup: 200 for radio, unbuffered channels or numbers from 200 on). type < 1 draws
// nothing; 1..4 the bar alone, 5..16 with a text below it (5..8 percent and minutes, 9..12 the
// channel name, 13..16 start and end). x and y 0: the title box's place; only y: the Now view's
// middle column (x 121, y 78 + y or 72 + y, no frame); x and y given: exactly there, showing the
// playback position instead while a recording plays. A record that does not exist draws nothing
// (unless a playback is shown). bg clears the area first where the bar owns it; fg is the text's.
void TimeBar(int channel, int index, int type, int x, int y, dword bg, dword fg);

#endif
