// The Now view: eleven consecutive channels, one a row, each with one event: the one running now
// (view 1), the (view - 1)-th after it (views 2 and 3, and every view from 2 on with
// settings.now_next_mode 1), the one running at prime time today + (view - 4) days (views 4..6),
// or the one running at the chosen time while timeline_mode is 1. Channels that a busy tuner
// cannot receive while recordings run are shown in grey.
//
// Columns of a row (baseline y 113 + 36 row): the channel number in x 61..103, the middle cell
// x 105..237 (times, a progress bar or the channel name, as settings.timebar_now says), the title
// from x 239 to 655 with the timer mark at the right.
// Example:
//   settings.view = 2;  Draw_Now(1);        // every channel's next event, the page rebuilt
#ifndef DIRO_VIEWS_NOWVIEW_H
#define DIRO_VIEWS_NOWVIEW_H

extern unsigned char nowmode_timeon;  // 1 while view 1 shows start and end times instead of bars
extern unsigned char show_name;       // 1 while the chosen-time views show channel names
extern int cursor_event;              // event index of the selected row's event in its slot

// Draws the Now view: mode 1 first drawing, 0 redraw, 2 the periodic redraw of the clock duty.
// Modes 1 and 2 read the recording state and keep the cursor above the info bar; modes 0 and 1
// draw the channel in the title box. With the info window open (longinfo_mode 2) the window is
// drawn for the selected channel's event instead of the rows.
// Changes _svcNum and cursor (the page stays inside the channel list and above the bar),
// cursor_event, recSlot, blocked_lines, temp_mjd/temp_h/temp_min (prime-time views and
// TempTime), currEvent of the slots shown, chInfo, _strBuf, dctstr.
void Draw_Now(int mode);

// 1 when a channel on this transponder can be shown in the normal colour while recordings run,
// 0 when it is to be greyed: settings.fade_names_recording 0 never greys; 1 greys every other
// transponder while anything records; 2 only while both tuners record other transponders.
// Reads recSlot as ReadRecInfo left it.
int CheckRecTransponder(int transponder);

#endif
