// The timer list view.
#ifndef DIRO_TIMERS_LIST_H
#define DIRO_TIMERS_LIST_H

// Sorts, normalises the position and draws the whole timer list.
void Timer_List(void);

#endif
