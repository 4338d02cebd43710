// The Now view: one channel per row with its running, a following or the prime-time event.
// For now only the entries the window and the keys call.
#ifndef DIRO_VIEWS_NOWVIEW_H
#define DIRO_VIEWS_NOWVIEW_H

extern unsigned char nowmode_timeon;  // 1 while view 1 shows start and end times instead of names
extern unsigned char show_name;       // 1 while the chosen-time views show channel names
extern int cursor_event;              // event index of the selected row's event in its slot

// Draws the Now view: mode 1 first drawing, 0 redraw, 2 the periodic redraw of the clock duty.
void Draw_Now(int mode);

// 1 when a channel on this transponder can be shown in the normal colour during recordings.
int CheckRecTransponder(int transponder);

#endif
