// Recording by search words: the entries whose mode is P, Rec or 1xRec turn the events they find
// into receiver timers without the user; the minute duty that does so in idle time; and the box
// "Events of interest found!" that the start-up search puts up. Leans on search/search (the
// searches and their result list), search/entries (the list, the file), timers/ (composing,
// cutting, combining and setting a timer, the queue), settings/ and frame/state.
//
// Which results become timers: with N now, S the event's start, D its length (minutes), L and A
// the entry's lead and follow-up minutes and H settings.search_record_hours,
//   N < S - L - 1          the timer begins more than a minute from now;
//   S < N + 60 H + L       Rec and 1xRec: it begins within the next H hours;
//   S + D + A + 1 < N + 60 H   P: the event and its run-on end within them.
// A 1xRec entry records its first suitable result and then becomes an M entry (the search file
// is written); with settings.search_record_delay set, Rec and P timers wait in the queue
// (ToSetTimer) and the idle duty sets them a few seconds apart.
//
// Example (the settings menu's command "timers by search words now"):
//   SearchAndRecord(1);   // "Searching! Please wait ..." three times, then the timers are set
#ifndef DIRO_SEARCH_RECORD_H
#define DIRO_SEARCH_RECORD_H

extern int HideAutoRecord_lastmin;   // minute of the day the minute duty last handled; -1 none

// Searches with the 1xRec, the Rec and then the P entries (one pass each, the result list
// replaced every time) and sets a timer for every suitable result: cut to meet its neighbours or
// extended by the entry's offsets, then queued (Rec and P with settings.search_record_delay) or
// set at once. A timer the receiver refuses is passed over silently; an event already covered
// by a timer, or waiting in the queue, is not set again. show_message non-zero shows
// "Searching! Please wait ..." during each search. Afterwards the result list holds the P pass's
// results. Changes the firmware's timers, ToSetTimer, TimerList slots 71..73, the result channel
// and searchresult_ext, 1xRec entries (to M, and the search file then), timerlisthelp;
// search_mode is restored.
void SearchAndRecord(int show_message);

// The minute duty: once in every new minute of the day it calls it, with
// settings.auto_record_by_search above 2, the receiver running for more than 600 seconds and no
// timer waiting in the queue: SearchAndRecord(0). Nothing while a timer editor (timer_mode 1, 3)
// or a result list (search_mode ending in 3) is open: they work on the timer slots and the
// results. The dates in timer names are renewed by the idle chain's own minute duty
// (Timer_ChangeDate_Minute). Changes HideAutoRecord_lastmin, and what SearchAndRecord changes.
void HideAutoRecord(void);

// Draws the box "Events of interest found!" / "Show Search Result?" / "(OK) Yes (EXIT) No" in
// the middle of the screen, in the language of the texts, and syncs. The dispatch handles OK
// and EXIT; the idle chain takes the box away after 20 seconds.
void DrawSearchMsg(void);

#endif
