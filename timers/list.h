// The timer list view: a page of nine timers of the receiver's table (number, name, channel,
// weekday, date, start, tuner mark, mode), the selected timer's details in the status area, the
// order (by number or by start) in the title; and the view's keys, which sort it, open a timer or
// a new one in the editor, and find a timer's event in the guide. Open while timer_mode is 2.
// Leans on timers/table (the copy and its order), timers/editor, search/textfield and
// search/values (fitting texts, LCN), views/window (the grid, DrawEPG) and views/help (its key bar).
//
// Example (the key table opens the view, then hands it every key):
//   timer_mode = 2; cursor = 0; ListOffset = 0;
//   DrawEPG(1);                      // the frame, then Timer_List()
//   Keys_TimerList(RKEY_Down);       // the next timer
#ifndef DIRO_TIMERS_LIST_H
#define DIRO_TIMERS_LIST_H

#include "frame/platform/tap.h"

enum {
    TIMER_LIST_LINES = 9,           // rows of a page (cursor 0..8); << and >> move a page
    TIMERLIST_SORT_NUMBER = 1,      // settings.timerlist_sort: the receiver's order ...
    TIMERLIST_SORT_TIME = 2,        // ... or by start
    TIMER_NAME_SMALL_PX = 338       // a name this wide is drawn in the small font in the status area
};

// Sorts the copy by settings.timerlist_sort, pulls the selection back onto an existing timer (the
// page first, then the cursor) and draws the title (date, order, position), the nine rows, the
// status area and the column lines; syncs. Changes ListOffset, cursor, the copy's order, chInfo.
void Timer_List(void);

// A key in the timer list (timer_mode 2), handed on by the key table of the views:
// UP, DOWN, <<, >> move the selection (a row, a page of nine); GREEN and YELLOW order the list by
// number or by time, from the top; OK opens the selected timer in the editor, help-and-edit opens
// it on the delete row; RED opens the editor on a new timer on the channel shown, today at the
// next full hour, two hours; BLUE shows the timer's event in the Normal view at the timer's time
// (the list closes; a message says when the guide has no such event); INFO shows the key bar.
// Returns 0 (the key is consumed). Changes cursor, ListOffset, settings.timerlist_sort,
// timer_mode, slots 71 and 72, and for BLUE the view's channel and chosen time.
dword Keys_TimerList(dword key);

#endif
