// The timer editor.
#ifndef DIRO_TIMERS_EDITOR_H
#define DIRO_TIMERS_EDITOR_H

extern unsigned char timer_edit;   // 1 while an existing timer is edited, 0 a new one

// Applies step to the selected row (0 only draws; -1/+1 left/right; -60/+60 on the time rows).
void Timer_Menu(int step);

#endif
